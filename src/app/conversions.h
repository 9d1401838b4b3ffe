// Conversions of registry results into the settings' types.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "app/registry.h"

namespace app {

// The result as text: "" when empty, the decimal digits of an integer.
std::wstring TextOf(const RegistryResult& result);

// The text of the result up to, not including, its first NUL character.
std::wstring CutAtNulText(const RegistryResult& result);

// The result as a 16-bit integer: empty gives 0, text is read as a decimal number up
// to its first NUL (spaces around it allowed, a fraction rounded half to even).
// Text that is not such a number, or a value outside the 16-bit range, leaves field
// unchanged and returns false.
bool IntegerOf(const RegistryResult& result, int16_t& field);

// Like IntegerOf, over the 32-bit range (for REG_DWORD writes).
bool Int32Of(const RegistryResult& result, int32_t& value);

// The integer read from the leading digits of a text (after leading blanks and an
// optional sign); 0 when the text does not start with a number. Saturates at the
// 32-bit limits.
int32_t NumberOf(std::wstring_view text);

}  // namespace app
