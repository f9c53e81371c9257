#pragma once

#include <QtGlobal>
#include <array>
#include <memory>

// Lookup tables of code page 932 read out of the platform's converter, so that a text held entirely in them
// converts through a table exactly as the converter itself converts it. Internal to the store: everything
// outside reaches code page 932 through Cp932.h.
namespace cp932 {

// The converter's name for Windows code page 932 (the IANA registry's).
inline constexpr const char* ConverterName = "windows-31j";

inline bool isLeadByte(uchar byte)
{
    return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

struct DecodeTable {
    // Marks a byte or byte pair that the table does not hold: the converter refuses it, or it is not one
    // character of one UTF-16 unit.
    static constexpr char16_t Absent = 0xFFFF;
    static constexpr int LeadCount = 60;

    // The character each byte decodes to on its own; Absent for every lead byte.
    std::array<char16_t, 256> single;
    // The row of each lead byte in pairs, -1 for the other bytes.
    std::array<qint8, 256> leadRow;
    // The character of lead and trail byte at pairs[leadRow[lead] * 256 + trail].
    std::array<char16_t, LeadCount * 256> pairs;
    // Every byte below 0x80 decodes to the character of that number.
    bool asciiSame = false;

    char16_t pair(uchar lead, uchar trail) const { return pairs[leadRow[lead] * 256 + trail]; }
};

struct EncodeTable {
    // For every UTF-16 unit: 0 when the table does not hold it, OneByte | byte for one byte, lead << 8 | trail
    // for two bytes (a lead byte is at least 0x81, so two-byte codes are never below 0x8100).
    static constexpr quint16 OneByte = 0x100;
    std::array<quint16, 0x10000> codes;
    // Every character below U+0080 encodes to the byte of that number.
    bool asciiSame = false;
};

// Both are empty (every entry absent) when the converter is missing. Each asks the converter afresh, so a
// caller builds each once and keeps it.
std::unique_ptr<const DecodeTable> buildDecodeTable();
// Entry c holds the bytes the converter gives for prepare(c), where prepare maps a character to the one that
// is stored in its place and maps every such character to itself. Only characters that some byte sequence
// decodes to are held: one the converter writes only by a substitute is absent.
std::unique_ptr<const EncodeTable> buildEncodeTable(const DecodeTable& decode, char32_t (*prepare)(char32_t));

} // namespace cp932
