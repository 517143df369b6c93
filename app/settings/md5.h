#pragma once

#include <cstddef>
#include <cstdint>

// MD5 message digest (RFC 1321).

struct MD5_CTX {
    uint32_t count[2];  // bits fed so far, low word first
    uint32_t state[4];  // A, B, C, D
    unsigned char buffer[64];
};

void MD5Init(MD5_CTX* context);
void MD5Update(MD5_CTX* context, const unsigned char* input, size_t length);
void MD5Final(MD5_CTX* context, unsigned char digest[16]);
void MD5Transform(uint32_t state[4], const unsigned char block[64]);

// The raw 16-byte digest of the bytes before the terminating zero. The caller chooses the
// encoding: the password store hands Latin-1 bytes.
void md5String(const char* text, unsigned char digest[16]);
