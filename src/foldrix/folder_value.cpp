// Turning VARIANTs given to folder properties into folder values.
#include <cmath>

#include "foldrix/namespace.h"

namespace foldrix {
namespace {

FolderValue FromWholeNumber(long long number) {
  FolderValue value;
  if (number >= 0 && number <= 255) {
    value.kind = FolderValue::Kind::Number;
    value.number = static_cast<int>(number);
  } else {
    value.kind = FolderValue::Kind::Address;
#ifdef _WIN64
    value.address = static_cast<LONG_PTR>(number);
#else
    // A 32-bit address above 2 GB arrives as a negative Long.
    value.address = static_cast<LONG_PTR>(static_cast<uint32_t>(number));
#endif
  }
  return value;
}

// Late-bound read of an object's pidlFQ member, as folder objects and our own Items have.
std::optional<LONG_PTR> PidlMemberOf(IDispatch* object) {
  if (!object) return std::nullopt;
  OLECHAR name[] = L"pidlFQ";
  LPOLESTR names[] = {name};
  DISPID id = DISPID_UNKNOWN;
  if (FAILED(object->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id)))
    return std::nullopt;
  DISPPARAMS none{};
  VARIANT result;
  ::VariantInit(&result);
  if (FAILED(object->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET, &none,
                            &result, nullptr, nullptr)))
    return std::nullopt;
  std::optional<LONG_PTR> address;
  VARIANT converted;
  ::VariantInit(&converted);
  if (SUCCEEDED(::VariantChangeType(&converted, &result, 0, VT_I8)))
    address = static_cast<LONG_PTR>(converted.llVal);
  ::VariantClear(&result);
  return address;
}

}  // namespace

FolderValue ReadFolderValue(const VARIANT& given) {
  VARIANT value;
  ::VariantInit(&value);
  if (FAILED(::VariantCopyInd(&value, const_cast<VARIANT*>(&given)))) return {};
  FolderValue result;
  switch (value.vt) {
    case VT_BSTR:
      result.kind = FolderValue::Kind::Text;
      result.text.assign(value.bstrVal ? value.bstrVal : L"", ::SysStringLen(value.bstrVal));
      break;
    case VT_I1: result = FromWholeNumber(value.cVal); break;
    case VT_UI1: result = FromWholeNumber(value.bVal); break;
    case VT_I2: result = FromWholeNumber(value.iVal); break;
    case VT_UI2: result = FromWholeNumber(value.uiVal); break;
    case VT_I4: case VT_INT: result = FromWholeNumber(value.lVal); break;
    case VT_UI4: case VT_UINT: result = FromWholeNumber(value.ulVal); break;
    case VT_I8: result = FromWholeNumber(value.llVal); break;
    case VT_UI8: result = FromWholeNumber(static_cast<long long>(value.ullVal)); break;
    case VT_R4:
    case VT_R8: {
      const double number = value.vt == VT_R4 ? value.fltVal : value.dblVal;
      if (std::isfinite(number) && number == std::floor(number) && std::fabs(number) < 9.2e18)
        result = FromWholeNumber(static_cast<long long>(number));
      break;
    }
    case VT_DISPATCH:
      if (auto address = PidlMemberOf(value.pdispVal)) {
        result.kind = FolderValue::Kind::Address;
        result.address = *address;
      }
      break;
    default:
      break;
  }
  ::VariantClear(&value);
  return result;
}

std::wstring FolderValueText(const VARIANT& given) {
  VARIANT value, text;
  ::VariantInit(&value);
  ::VariantInit(&text);
  std::wstring result;
  if (SUCCEEDED(::VariantCopyInd(&value, const_cast<VARIANT*>(&given))) && value.vt != VT_DISPATCH &&
      value.vt != VT_UNKNOWN &&
      SUCCEEDED(::VariantChangeType(&text, &value, VARIANT_ALPHABOOL, VT_BSTR)) && text.bstrVal)
    result.assign(text.bstrVal, ::SysStringLen(text.bstrVal));
  ::VariantClear(&text);
  ::VariantClear(&value);
  return result;
}

}  // namespace foldrix
