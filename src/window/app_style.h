#pragma once

class QApplication;

namespace kivo::window {

/// The look every window of the program shares: a fixed style and a Japanese font chosen
/// explicitly, so texts render the same on every machine (with several CJK fonts installed
/// fontconfig would pick one at random); the window icon; Qt's own texts in Japanese. A write past
/// the file-size limit fails as any failed write does instead of ending the program.
void setUpApplication(QApplication& app);

}  // namespace kivo::window
