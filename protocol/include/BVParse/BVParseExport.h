// Symbol visibility of BVParse: the library is built with hidden visibility and marks what
// it exports.
#pragma once

#if defined(_WIN32)
#if defined(BVParse_BUILDING)
#define BVPARSE_API __declspec(dllexport)
#else
#define BVPARSE_API __declspec(dllimport)
#endif
#else
#define BVPARSE_API __attribute__((visibility("default")))
#endif
