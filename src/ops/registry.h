#pragma once

#include <optional>
#include <string_view>
#include <vector>

#include "ops/operation.h"

namespace kivo {

/// Every operation, in the order of their codes (an operation's code is its index).
const std::vector<const OperationDeclaration*>& operations();

/// The operation of `code`, which must be one.
const OperationDeclaration& operation(int code);

/// Whether `code` names an operation.
bool isOperationCode(int code);

/// The operation with the English name `name`, or nullptr.
const OperationDeclaration* operationNamed(std::string_view name);

/// The operations of one tab, in the order of their codes.
std::vector<const OperationDeclaration*> operationsOnTab(Tab tab);

/// A parameter found by the window control that holds it.
struct AliasedParam {
    const OperationDeclaration* op = nullptr;
    const ParamDeclaration* param = nullptr;
};

/// The parameter whose control is `control`, of whichever operation; none when no operation has
/// it.
std::optional<AliasedParam> paramAliased(std::string_view control);

}  // namespace kivo
