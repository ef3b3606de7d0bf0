// ICU-backed conversions. A UConverter must not be shared between threads, so each thread keeps its own
// code page 936 converter; other code pages are rare and get a converter per call.
#include "text/converter.h"

#include <unicode/ucnv.h>
#include <unicode/ustring.h>

#include <memory>

namespace lunvek::detail {

namespace {

struct ConverterCloser {
    void operator()(UConverter* converter) const { ucnv_close(converter); }
};
using ConverterPtr = std::unique_ptr<UConverter, ConverterCloser>;

// The Windows code page 936 table, user-defined areas (private use) and 0x80 <-> U+20AC included.
constexpr const char* cp936_name = "windows-936-2000";

ConverterPtr open_converter(const char* name) {
    UErrorCode error = U_ZERO_ERROR;
    ConverterPtr converter(ucnv_open(name, &error));
    if (U_FAILURE(error))
        return nullptr;
    return converter;
}

UConverter* thread_cp936_converter() {
    thread_local ConverterPtr converter = open_converter(cp936_name);
    return converter.get();
}

UConverter* thread_utf8_converter() {
    thread_local ConverterPtr converter = open_converter("UTF-8");
    return converter.get();
}

std::u16string decode_with(UConverter* converter, std::string_view bytes) {
    ucnv_resetToUnicode(converter);
    std::u16string units(bytes.size() + 16, u'\0');
    UChar* target = units.data();
    const char* source = bytes.data();
    const char* const source_end = bytes.data() + bytes.size();
    for (;;) {
        UErrorCode error = U_ZERO_ERROR;
        ucnv_toUnicode(converter, &target, units.data() + units.size(), &source, source_end, nullptr, true, &error);
        if (error != U_BUFFER_OVERFLOW_ERROR)
            break;
        const std::size_t used = static_cast<std::size_t>(target - units.data());
        units.resize(units.size() * 2);
        target = units.data() + used;
    }
    units.resize(static_cast<std::size_t>(target - units.data()));
    return units;
}

std::string encode_with(UConverter* converter, std::u16string_view units) {
    ucnv_resetFromUnicode(converter);
    std::string bytes(units.size() * 2 + 16, '\0');
    char* target = bytes.data();
    const UChar* source = units.data();
    const UChar* const source_end = units.data() + units.size();
    for (;;) {
        UErrorCode error = U_ZERO_ERROR;
        ucnv_fromUnicode(converter, &target, bytes.data() + bytes.size(), &source, source_end, nullptr, true, &error);
        if (error != U_BUFFER_OVERFLOW_ERROR)
            break;
        const std::size_t used = static_cast<std::size_t>(target - bytes.data());
        bytes.resize(bytes.size() * 2);
        target = bytes.data() + used;
    }
    bytes.resize(static_cast<std::size_t>(target - bytes.data()));
    return bytes;
}

ConverterPtr open_code_page(int code_page) {
    const std::string number = std::to_string(code_page);
    for (const char* prefix : {"windows-", "ibm-"}) {
        if (ConverterPtr converter = open_converter((prefix + number).c_str()))
            return converter;
    }
    return nullptr;
}

}  // namespace

std::u16string decode_cp936(std::string_view bytes) {
    UConverter* converter = thread_cp936_converter();
    if (converter == nullptr)
        return {};
    return decode_with(converter, bytes);
}

std::string encode_cp936(std::u16string_view units) {
    UConverter* converter = thread_cp936_converter();
    if (converter == nullptr)
        return {};
    return encode_with(converter, units);
}

std::string utf8_to_cp936(std::string_view bytes) {
    UConverter* from = thread_utf8_converter();
    UConverter* to = thread_cp936_converter();
    if (from == nullptr || to == nullptr)
        return encode_cp936(decode_utf8(bytes));
    // No UTF-8 sequence, nor a substitution for a broken one, takes more bytes in code page 936.
    std::string out(bytes.size() + 16, '\0');
    char* target = out.data();
    const char* source = bytes.data();
    UErrorCode error = U_ZERO_ERROR;
    ucnv_convertEx(to, from, &target, out.data() + out.size(), &source, bytes.data() + bytes.size(), nullptr, nullptr,
                   nullptr, nullptr, true, true, &error);
    if (U_FAILURE(error))
        return encode_cp936(decode_utf8(bytes));
    out.resize(static_cast<std::size_t>(target - out.data()));
    return out;
}

std::u16string decode_utf8(std::string_view bytes) {
    // A UTF-8 sequence never needs more UTF-16 units than it has bytes, substitutions included.
    std::u16string units(bytes.size() + 1, u'\0');
    int32_t length = 0;
    UErrorCode error = U_ZERO_ERROR;
    u_strFromUTF8WithSub(units.data(), static_cast<int32_t>(units.size()), &length, bytes.data(),
                         static_cast<int32_t>(bytes.size()), 0xFFFD, nullptr, &error);
    if (U_FAILURE(error))
        return {};
    units.resize(static_cast<std::size_t>(length));
    return units;
}

std::string encode_utf8(std::u16string_view units) {
    // Three bytes per unit covers every unit; a surrogate pair takes four bytes for two units.
    std::string bytes(units.size() * 3 + 1, '\0');
    int32_t length = 0;
    UErrorCode error = U_ZERO_ERROR;
    u_strToUTF8WithSub(bytes.data(), static_cast<int32_t>(bytes.size()), &length, units.data(),
                       static_cast<int32_t>(units.size()), 0xFFFD, nullptr, &error);
    if (U_FAILURE(error))
        return {};
    bytes.resize(static_cast<std::size_t>(length));
    return bytes;
}

std::optional<std::u16string> decode_code_page(int code_page, std::string_view bytes) {
    ConverterPtr converter = open_code_page(code_page);
    if (!converter)
        return std::nullopt;
    return decode_with(converter.get(), bytes);
}

std::optional<std::string> encode_code_page(int code_page, std::u16string_view units) {
    ConverterPtr converter = open_code_page(code_page);
    if (!converter)
        return std::nullopt;
    return encode_with(converter.get(), units);
}

}  // namespace lunvek::detail
