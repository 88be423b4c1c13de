// What every store's registry key does alike: values are read by the
// registry's rules, built the same way, and single values go through the one
// write of several.
#include "registryrules.h"
#include "userstore.h"

#include "core/error.h"

#include <cstring>

namespace zibbles {

int32_t integerOf(const RegValue *value, const std::string &name)
{
    if (!value || value->data.size() > 4)
        throw AppError(formatMessage("Failed to get data for '%s'", name));
    if (value->type != RegDword)
        throw AppError(formatMessage("Invalid data type for '%s'", name));
    int32_t n = 0;
    std::memcpy(&n, value->data.data(), value->data.size());
    return n;
}

std::string stringOf(const RegValue *value, const std::string &name)
{
    if (!value || value->data.empty())
        return {};
    if (value->type != RegSz && value->type != RegExpandSz)
        throw AppError(formatMessage("Invalid data type for '%s'", name));
    return fromRegString(value->data);
}

RegValue RegistryKey::integerValue(const std::string &name, int32_t value)
{
    return {name, RegDword, std::string(reinterpret_cast<const char *>(&value), 4)};
}

RegValue RegistryKey::stringValue(const std::string &name, const std::string &value)
{
    return {name, RegSz, toRegString(value)};
}

void RegistryKey::writeInteger(const std::string &name, int32_t value)
{
    writeValues({integerValue(name, value)});
}

void RegistryKey::writeString(const std::string &name, const std::string &value)
{
    writeValues({stringValue(name, value)});
}

} // namespace zibbles
