#include "store/Cp932Tables.h"

#include <unicode/ucnv.h>

#include <vector>

namespace cp932 {

namespace {

struct CloseConverter {
    void operator()(UConverter* c) const { ucnv_close(c); }
};
using Converter = std::unique_ptr<UConverter, CloseConverter>;

// The converter as QStringDecoder and QStringEncoder open it (no fallbacks from Unicode asked for), stopping at
// the first sequence it refuses instead of writing a substitute. Null when it is missing.
Converter openTableConverter(bool toUnicode)
{
    UErrorCode status = U_ZERO_ERROR;
    Converter converter(ucnv_open(ConverterName, &status));
    if (U_FAILURE(status))
        return nullptr;
    if (toUnicode)
        ucnv_setToUCallBack(converter.get(), UCNV_TO_U_CALLBACK_STOP, nullptr, nullptr, nullptr, &status);
    else
        ucnv_setFromUCallBack(converter.get(), UCNV_FROM_U_CALLBACK_SKIP, nullptr, nullptr, nullptr, &status);
    return U_FAILURE(status) ? nullptr : std::move(converter);
}

// The one UTF-16 unit the converter decodes the whole of bytes to, or Absent.
char16_t decodeUnit(UConverter* converter, const char* bytes, int length)
{
    UChar out[4];
    UChar* target = out;
    const char* source = bytes;
    UErrorCode status = U_ZERO_ERROR;
    ucnv_toUnicode(converter, &target, out + 4, &source, bytes + length, nullptr, true, &status);
    if (U_FAILURE(status) || target != out + 1 || source != bytes + length) {
        ucnv_resetToUnicode(converter);
        return DecodeTable::Absent;
    }
    return out[0];
}

} // namespace

std::unique_ptr<const DecodeTable> buildDecodeTable()
{
    auto table = std::make_unique<DecodeTable>();
    table->single.fill(DecodeTable::Absent);
    table->leadRow.fill(-1);
    table->pairs.fill(DecodeTable::Absent);
    const Converter converter = openTableConverter(true);
    if (!converter)
        return table;

    int row = 0;
    for (int byte = 0; byte < 256; ++byte) {
        const char bytes[2] = {char(byte), 0};
        if (!isLeadByte(uchar(byte))) {
            table->single[byte] = decodeUnit(converter.get(), bytes, 1);
            continue;
        }
        table->leadRow[byte] = qint8(row);
        // A trail byte lies in 0x40..0xFC; every other pair stays absent.
        for (int trail = 0x40; trail <= 0xFC; ++trail) {
            const char pair[2] = {char(byte), char(trail)};
            table->pairs[row * 256 + trail] = decodeUnit(converter.get(), pair, 2);
        }
        ++row;
    }
    table->asciiSame = true;
    for (int byte = 0; byte < 0x80; ++byte)
        table->asciiSame = table->asciiSame && table->single[byte] == byte;
    return table;
}

std::unique_ptr<const EncodeTable> buildEncodeTable(const DecodeTable& decode, char32_t (*prepare)(char32_t))
{
    auto table = std::make_unique<EncodeTable>();
    table->codes.fill(0);
    const Converter converter = openTableConverter(false);
    if (!converter)
        return table;

    // Every character some byte sequence decodes to, once each. Several sequences may decode to one
    // character, and a sequence may decode one way only, so the converter is asked which bytes it writes.
    std::vector<bool> held(0x10000);
    for (const char16_t c : decode.single)
        held[c] = true;
    for (const char16_t c : decode.pairs)
        held[c] = true;
    held[DecodeTable::Absent] = false;
    std::vector<UChar> characters;
    for (char32_t c = 0; c < 0x10000; ++c) {
        if (held[c])
            characters.push_back(UChar(c));
    }

    // One call for all of them; the offsets say which character wrote which byte, and a character the
    // converter refuses writes none.
    const int count = int(characters.size());
    std::vector<char> bytes(2 * characters.size());
    std::vector<int32_t> offsets(bytes.size());
    char* target = bytes.data();
    const UChar* source = characters.data();
    UErrorCode status = U_ZERO_ERROR;
    ucnv_fromUnicode(converter.get(), &target, bytes.data() + bytes.size(), &source, source + count, offsets.data(),
                     true, &status);
    if (U_FAILURE(status))
        return table;
    const int written = int(target - bytes.data());
    for (int i = 0; i < written;) {
        if (offsets[i] < 0) {
            ++i;
            continue;
        }
        int length = 1;
        while (i + length < written && offsets[i + length] == offsets[i])
            ++length;
        const char32_t c = characters[offsets[i]];
        const uchar first = uchar(bytes[i]);
        if (length == 1)
            table->codes[c] = EncodeTable::OneByte | first;
        else if (length == 2 && isLeadByte(first))
            table->codes[c] = quint16(first << 8 | uchar(bytes[i + 1]));
        i += length;
    }

    // The characters stored in another's place take that one's bytes.
    for (char32_t c = 0; c < 0x10000; ++c) {
        const char32_t stored = prepare(c);
        if (stored != c)
            table->codes[c] = stored < 0x10000 && prepare(stored) == stored ? table->codes[stored] : 0;
    }
    table->asciiSame = true;
    for (char32_t c = 0; c < 0x80; ++c)
        table->asciiSame = table->asciiSame && table->codes[c] == (EncodeTable::OneByte | c);
    return table;
}

} // namespace cp932
