#pragma once

#include <cstddef>

// One embedded resource: found by name (without regard to case), type and language.
struct Resource
{
    const char *name;
    unsigned type;
    unsigned language;
    const unsigned char *data;
    std::size_t size;
};

inline constexpr unsigned ResourceTypeRcData = 10;
inline constexpr unsigned LanguageChineseSimplified = 2052;

extern const Resource resourceTable[];
extern const std::size_t resourceCount;
