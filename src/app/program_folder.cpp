#include "app/program_folder.h"

namespace kivo::app {

Text programFolder(TextView executableFolder) {
    Text folder(executableFolder);
    if (folder.empty() || folder.back() != u'/') folder += u'/';
    return folder;
}

}  // namespace kivo::app
