// Byte layout of a dBase IV production index, shared by its reader and writer.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "base/text.h"

namespace pasarela::dbase::mdx_layout {

// Every pointer in the file is a page number; nodes and tag headers are one
// block of two pages. The first four pages hold the file header and the tag table.
constexpr std::size_t kPageSize = 512;
constexpr std::size_t kPagesPerBlock = 2;
constexpr std::size_t kBlockSize = kPageSize * kPagesPerBlock;
constexpr std::size_t kHeaderPages = 4;
constexpr std::size_t kHeaderSize = kHeaderPages * kPageSize;

// File header.
constexpr std::size_t kVersion = 0;
constexpr std::size_t kCreated = 1;
constexpr std::size_t kTableName = 4;
constexpr std::size_t kTableNameSize = 16;
constexpr std::size_t kBlockPages = 20;
constexpr std::size_t kBlockBytes = 22;
constexpr std::size_t kProduction = 24;
constexpr std::size_t kTagSlots = 25;
constexpr std::size_t kTagEntrySize = 26;
constexpr std::size_t kTagsInUse = 28;
constexpr std::size_t kLanguageDriver = 31;
constexpr std::size_t kPagesInFile = 32;
constexpr std::size_t kFreeList = 36;
constexpr std::size_t kBlocksFree = 40;
constexpr std::size_t kUpdated = 44;
constexpr std::size_t kUnknownFlag = 529;

// Tag table: 32-byte entries from byte 544; 47 fit before the first node.
constexpr std::size_t kTagTable = 544;
constexpr std::size_t kTagEntryLength = 32;
constexpr std::size_t kMaxTags = (kHeaderSize - kTagTable) / kTagEntryLength;
constexpr std::size_t kEntryHeaderPage = 0;
constexpr std::size_t kEntryName = 4;
constexpr std::size_t kEntryNameSize = 11;
constexpr std::size_t kEntryFieldFlag = 15;
constexpr std::size_t kEntryMarker = 19;
constexpr std::size_t kEntryKeyType = 20;

// Tag header (one block).
constexpr std::size_t kTagRoot = 0;
constexpr std::size_t kTagPages = 4;
constexpr std::size_t kTagKeyFormat = 8;
constexpr std::size_t kTagKeyType = 9;
constexpr std::size_t kTagKeyLength = 12;
constexpr std::size_t kTagMaxKeys = 14;
constexpr std::size_t kTagDateFlag = 16;
constexpr std::size_t kTagItemLength = 18;
constexpr std::size_t kTagVersion = 20;
constexpr std::size_t kTagUnique = 23;
constexpr std::size_t kTagExpression = 24;
constexpr std::size_t kTagExpressionSize = 220;
constexpr std::size_t kTagHasCondition = 245;  // a FOR condition follows at kTagCondition
constexpr std::size_t kTagHasKeys = 246;
constexpr std::size_t kTagFirstLeaf = 248;
constexpr std::size_t kTagLastLeaf = 252;
constexpr std::size_t kTagUpdated = 257;
constexpr std::size_t kTagCondition = 762;

constexpr std::uint8_t kFormatDescending = 0x08;
constexpr std::uint8_t kFormatFields = 0x10;
constexpr std::uint8_t kFormatUnique = 0x40;

// B-tree node: key count, a reserved word, then the items.
constexpr std::size_t kNodeCount = 0;
constexpr std::size_t kNodeItems = 8;

constexpr std::size_t kMaxCharacterKey = 100;

// Item length: record number or child page, then the key, rounded up to 4.
inline std::size_t itemLength(std::size_t keyLength) { return (keyLength + 4 + 3) / 4 * 4; }

// Keys per node: leaves room for the extra child pointer of an interior node.
inline std::size_t maxKeys(std::size_t itemLen) { return (kBlockSize - kNodeItems - 4) / itemLen; }

inline std::uint32_t get32(const unsigned char* p) { return text::readLe32(p); }
inline std::uint16_t get16(const unsigned char* p) { return text::readLe16(p); }
inline void put32(unsigned char* p, std::uint32_t v) { text::writeLe32(p, v); }
inline void put16(unsigned char* p, std::uint16_t v) { text::writeLe16(p, v); }

}  // namespace pasarela::dbase::mdx_layout
