#pragma once
// The registry's rules for reading a value, which every store's RegistryKey
// follows: for the implementations of userstore.h only.
#include "core/regfile.h"

#include <cstdint>
#include <string>

namespace zibbles {

// `value` is null when missing. The errors are those of
// RegistryKey::readInteger and RegistryKey::readString.
int32_t integerOf(const RegValue *value, const std::string &name);
std::string stringOf(const RegValue *value, const std::string &name);

} // namespace zibbles
