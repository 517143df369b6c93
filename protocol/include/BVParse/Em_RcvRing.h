// The linear receive buffer of a protocol object: the read thread appends, the parse thread
// reads through a cursor and marks what it has consumed. Every operation holds the lock for its
// whole run. Invariant: mark <= cursor <= fill <= capacity.
#pragma once

#include <mutex>
#include <vector>

#include "BVParse/BVParseExport.h"

namespace Brevan2011 {
namespace BVParse {

class BVPARSE_API Em_RcvRing {
public:
    static constexpr int kDefaultSize = 20480;
    // Parse steps compact the ring once it is filled beyond this.
    static constexpr int kCompactThreshold = 18480;

    explicit Em_RcvRing(int capacity = kDefaultSize);
    Em_RcvRing(const Em_RcvRing&) = delete;
    Em_RcvRing& operator=(const Em_RcvRing&) = delete;

    // Appends n bytes. When they do not fit, the consumed bytes are first moved out; when they
    // still do not fit, as many as there is room for are taken. Returns the count taken; the
    // caller keeps the rest and offers them again once a parse step has made room.
    int Append(const unsigned char* bytes, int n);
    // Copies n bytes from the cursor and advances it; 1 on success, 0 when they are not there.
    int Read(unsigned char* dest, int n);
    // As Read, without advancing.
    int Peek(unsigned char* dest, int n) const;
    // Copies up to n bytes from the cursor without advancing; the count copied.
    int Peek_Up_To(unsigned char* dest, int n) const;
    // Looks from the cursor for CR LF. The line length runs from the cursor through the LF.
    // When found and at most `limit`, copies the line into dest (room for `limit` bytes), sets
    // the cursor to the CR and returns true. Otherwise returns false; *outLen then holds the
    // line length when a CR LF was found, else the bytes that follow the cursor.
    bool Read_Line(unsigned char* dest, int limit, int* outLen);
    // Advances the consumed mark by n when that many bytes follow it.
    void Skip(int n);
    // As Skip, then on to the next of the `count` lead bytes, or to the fill count: bytes that
    // cannot open a message are passed in one search, not one step each.
    void Skip_To_Lead(int n, const unsigned char* leads, int count);
    // Runs f(bytes, count) under the lock over the bytes from the consumed mark to the fill
    // count and returns its result; the pointer is valid only inside f.
    template <class F>
    auto With_Unconsumed(F&& f) const {
        std::lock_guard<std::mutex> guard(m_lock);
        return f(static_cast<const unsigned char*>(m_data.data() + m_mark), m_fill - m_mark);
    }
    // Cursor back to the consumed mark.
    void Rewind();
    // Consumed mark up to the cursor.
    void Commit();
    // Moves the unconsumed bytes to the front.
    void Compact();
    // Compacts when the fill count exceeds the threshold and the move frees enough.
    void Compact_If_Above(int threshold = kCompactThreshold);
    // All positions to 0.
    void Clear();
    // The start of a parse step under one lock: Compact_If_Above(threshold), Rewind, then
    // Peek_Up_To(dest, n); the count copied.
    int Begin_Step(int threshold, unsigned char* dest, int n);

    // True when every byte of the ring is unconsumed: nothing more can be appended.
    bool Full() const;
    int Fill() const;
    int Cursor() const;
    int Mark() const;
    int Capacity() const { return static_cast<int>(m_data.size()); }

private:
    void Compact_Locked();
    bool Worth_Compacting_Locked(int threshold) const;

    std::vector<unsigned char> m_data;
    int m_cursor = 0;
    int m_fill = 0;
    int m_mark = 0;
    mutable std::mutex m_lock;
};

}  // namespace BVParse
}  // namespace Brevan2011
