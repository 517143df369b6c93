#include "md5.h"

#include <cstring>

namespace {

uint32_t F(uint32_t x, uint32_t y, uint32_t z) {
    return (x & y) | (~x & z);
}
uint32_t G(uint32_t x, uint32_t y, uint32_t z) {
    return (x & z) | (y & ~z);
}
uint32_t H(uint32_t x, uint32_t y, uint32_t z) {
    return x ^ y ^ z;
}
uint32_t I(uint32_t x, uint32_t y, uint32_t z) {
    return y ^ (x | ~z);
}

uint32_t rotl(uint32_t x, int n) {
    return (x << n) | (x >> (32 - n));
}

template <uint32_t (*Fn)(uint32_t, uint32_t, uint32_t)>
void step(uint32_t& a, uint32_t b, uint32_t c, uint32_t d, uint32_t x, int s, uint32_t ac) {
    a += Fn(b, c, d) + x + ac;
    a = rotl(a, s) + b;
}

void encode(unsigned char* out, const uint32_t* in, size_t words) {
    for (size_t i = 0; i < words; ++i) {
        out[4 * i] = static_cast<unsigned char>(in[i] & 0xFF);
        out[4 * i + 1] = static_cast<unsigned char>((in[i] >> 8) & 0xFF);
        out[4 * i + 2] = static_cast<unsigned char>((in[i] >> 16) & 0xFF);
        out[4 * i + 3] = static_cast<unsigned char>((in[i] >> 24) & 0xFF);
    }
}

void decode(uint32_t* out, const unsigned char* in, size_t words) {
    for (size_t i = 0; i < words; ++i) {
        out[i] = static_cast<uint32_t>(in[4 * i]) | (static_cast<uint32_t>(in[4 * i + 1]) << 8) |
                 (static_cast<uint32_t>(in[4 * i + 2]) << 16) |
                 (static_cast<uint32_t>(in[4 * i + 3]) << 24);
    }
}

}  // namespace

void MD5Init(MD5_CTX* context) {
    context->count[0] = 0;
    context->count[1] = 0;
    context->state[0] = 0x67452301;
    context->state[1] = 0xefcdab89;
    context->state[2] = 0x98badcfe;
    context->state[3] = 0x10325476;
    std::memset(context->buffer, 0, sizeof(context->buffer));
}

void MD5Update(MD5_CTX* context, const unsigned char* input, size_t length) {
    if (length == 0) {
        return;
    }
    size_t index = (context->count[0] >> 3) & 0x3F;
    const uint64_t bits = static_cast<uint64_t>(length) << 3;
    const uint32_t low = static_cast<uint32_t>(bits);
    context->count[0] += low;
    if (context->count[0] < low) {
        ++context->count[1];
    }
    context->count[1] += static_cast<uint32_t>(static_cast<uint64_t>(length) >> 29);

    const size_t partLen = 64 - index;
    size_t i = 0;
    if (length >= partLen) {
        std::memcpy(&context->buffer[index], input, partLen);
        MD5Transform(context->state, context->buffer);
        for (i = partLen; i + 63 < length; i += 64) {
            MD5Transform(context->state, &input[i]);
        }
        index = 0;
    }
    std::memcpy(&context->buffer[index], &input[i], length - i);
}

void MD5Final(MD5_CTX* context, unsigned char digest[16]) {
    static const unsigned char padding[64] = {0x80};
    unsigned char bits[8];
    encode(bits, context->count, 2);
    const size_t index = (context->count[0] >> 3) & 0x3F;
    const size_t padLen = index < 56 ? 56 - index : 120 - index;
    MD5Update(context, padding, padLen);
    MD5Update(context, bits, 8);
    encode(digest, context->state, 4);
    std::memset(context, 0, sizeof(*context));
}

void MD5Transform(uint32_t state[4], const unsigned char block[64]) {
    uint32_t a = state[0];
    uint32_t b = state[1];
    uint32_t c = state[2];
    uint32_t d = state[3];
    uint32_t x[16];
    decode(x, block, 16);

    // Round 1
    step<F>(a, b, c, d, x[0], 7, 0xd76aa478);
    step<F>(d, a, b, c, x[1], 12, 0xe8c7b756);
    step<F>(c, d, a, b, x[2], 17, 0x242070db);
    step<F>(b, c, d, a, x[3], 22, 0xc1bdceee);
    step<F>(a, b, c, d, x[4], 7, 0xf57c0faf);
    step<F>(d, a, b, c, x[5], 12, 0x4787c62a);
    step<F>(c, d, a, b, x[6], 17, 0xa8304613);
    step<F>(b, c, d, a, x[7], 22, 0xfd469501);
    step<F>(a, b, c, d, x[8], 7, 0x698098d8);
    step<F>(d, a, b, c, x[9], 12, 0x8b44f7af);
    step<F>(c, d, a, b, x[10], 17, 0xffff5bb1);
    step<F>(b, c, d, a, x[11], 22, 0x895cd7be);
    step<F>(a, b, c, d, x[12], 7, 0x6b901122);
    step<F>(d, a, b, c, x[13], 12, 0xfd987193);
    step<F>(c, d, a, b, x[14], 17, 0xa679438e);
    step<F>(b, c, d, a, x[15], 22, 0x49b40821);

    // Round 2
    step<G>(a, b, c, d, x[1], 5, 0xf61e2562);
    step<G>(d, a, b, c, x[6], 9, 0xc040b340);
    step<G>(c, d, a, b, x[11], 14, 0x265e5a51);
    step<G>(b, c, d, a, x[0], 20, 0xe9b6c7aa);
    step<G>(a, b, c, d, x[5], 5, 0xd62f105d);
    step<G>(d, a, b, c, x[10], 9, 0x02441453);
    step<G>(c, d, a, b, x[15], 14, 0xd8a1e681);
    step<G>(b, c, d, a, x[4], 20, 0xe7d3fbc8);
    step<G>(a, b, c, d, x[9], 5, 0x21e1cde6);
    step<G>(d, a, b, c, x[14], 9, 0xc33707d6);
    step<G>(c, d, a, b, x[3], 14, 0xf4d50d87);
    step<G>(b, c, d, a, x[8], 20, 0x455a14ed);
    step<G>(a, b, c, d, x[13], 5, 0xa9e3e905);
    step<G>(d, a, b, c, x[2], 9, 0xfcefa3f8);
    step<G>(c, d, a, b, x[7], 14, 0x676f02d9);
    step<G>(b, c, d, a, x[12], 20, 0x8d2a4c8a);

    // Round 3
    step<H>(a, b, c, d, x[5], 4, 0xfffa3942);
    step<H>(d, a, b, c, x[8], 11, 0x8771f681);
    step<H>(c, d, a, b, x[11], 16, 0x6d9d6122);
    step<H>(b, c, d, a, x[14], 23, 0xfde5380c);
    step<H>(a, b, c, d, x[1], 4, 0xa4beea44);
    step<H>(d, a, b, c, x[4], 11, 0x4bdecfa9);
    step<H>(c, d, a, b, x[7], 16, 0xf6bb4b60);
    step<H>(b, c, d, a, x[10], 23, 0xbebfbc70);
    step<H>(a, b, c, d, x[13], 4, 0x289b7ec6);
    step<H>(d, a, b, c, x[0], 11, 0xeaa127fa);
    step<H>(c, d, a, b, x[3], 16, 0xd4ef3085);
    step<H>(b, c, d, a, x[6], 23, 0x04881d05);
    step<H>(a, b, c, d, x[9], 4, 0xd9d4d039);
    step<H>(d, a, b, c, x[12], 11, 0xe6db99e5);
    step<H>(c, d, a, b, x[15], 16, 0x1fa27cf8);
    step<H>(b, c, d, a, x[2], 23, 0xc4ac5665);

    // Round 4
    step<I>(a, b, c, d, x[0], 6, 0xf4292244);
    step<I>(d, a, b, c, x[7], 10, 0x432aff97);
    step<I>(c, d, a, b, x[14], 15, 0xab9423a7);
    step<I>(b, c, d, a, x[5], 21, 0xfc93a039);
    step<I>(a, b, c, d, x[12], 6, 0x655b59c3);
    step<I>(d, a, b, c, x[3], 10, 0x8f0ccc92);
    step<I>(c, d, a, b, x[10], 15, 0xffeff47d);
    step<I>(b, c, d, a, x[1], 21, 0x85845dd1);
    step<I>(a, b, c, d, x[8], 6, 0x6fa87e4f);
    step<I>(d, a, b, c, x[15], 10, 0xfe2ce6e0);
    step<I>(c, d, a, b, x[6], 15, 0xa3014314);
    step<I>(b, c, d, a, x[13], 21, 0x4e0811a1);
    step<I>(a, b, c, d, x[4], 6, 0xf7537e82);
    step<I>(d, a, b, c, x[11], 10, 0xbd3af235);
    step<I>(c, d, a, b, x[2], 15, 0x2ad7d2bb);
    step<I>(b, c, d, a, x[9], 21, 0xeb86d391);

    state[0] += a;
    state[1] += b;
    state[2] += c;
    state[3] += d;
}

void md5String(const char* text, unsigned char digest[16]) {
    MD5_CTX context;
    MD5Init(&context);
    if (text != nullptr) {
        MD5Update(&context, reinterpret_cast<const unsigned char*>(text), std::strlen(text));
    }
    MD5Final(&context, digest);
}
