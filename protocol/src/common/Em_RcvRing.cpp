#include "BVParse/Em_RcvRing.h"

#include <algorithm>
#include <cstring>

namespace Brevan2011 {
namespace BVParse {

Em_RcvRing::Em_RcvRing(int capacity) : m_data(static_cast<size_t>(capacity > 0 ? capacity : 0)) {}

int Em_RcvRing::Append(const unsigned char* bytes, int n) {
    if (bytes == nullptr || n <= 0) {
        return 0;
    }
    std::lock_guard<std::mutex> guard(m_lock);
    const int capacity = Capacity();
    // Compacting here rather than only at the start of a parse step keeps unparsed messages
    // that a read arriving near the end of the buffer would otherwise throw away.
    if (n > capacity - m_fill) {
        Compact_Locked();
    }
    // What does not fit stays with the caller: the ring never drops what it holds.
    const int taken = std::min(n, capacity - m_fill);
    if (taken > 0) {
        std::memcpy(m_data.data() + m_fill, bytes, static_cast<size_t>(taken));
        m_fill += taken;
    }
    return taken;
}

bool Em_RcvRing::Full() const {
    std::lock_guard<std::mutex> guard(m_lock);
    return m_fill - m_mark >= Capacity();
}

int Em_RcvRing::Read(unsigned char* dest, int n) {
    std::lock_guard<std::mutex> guard(m_lock);
    if (dest == nullptr || n <= 0 || n > m_fill - m_cursor) {
        return 0;
    }
    std::memcpy(dest, m_data.data() + m_cursor, static_cast<size_t>(n));
    m_cursor += n;
    return 1;
}

int Em_RcvRing::Peek_Up_To(unsigned char* dest, int n) const {
    std::lock_guard<std::mutex> guard(m_lock);
    const int k = n < m_fill - m_cursor ? n : m_fill - m_cursor;
    if (dest == nullptr || k <= 0) {
        return 0;
    }
    std::memcpy(dest, m_data.data() + m_cursor, static_cast<size_t>(k));
    return k;
}

int Em_RcvRing::Peek(unsigned char* dest, int n) const {
    std::lock_guard<std::mutex> guard(m_lock);
    if (dest == nullptr || n <= 0 || n > m_fill - m_cursor) {
        return 0;
    }
    std::memcpy(dest, m_data.data() + m_cursor, static_cast<size_t>(n));
    return 1;
}

bool Em_RcvRing::Read_Line(unsigned char* dest, int limit, int* outLen) {
    std::lock_guard<std::mutex> guard(m_lock);
    int cr = -1;
    for (int i = m_cursor; i + 1 < m_fill; ++i) {
        if (m_data[static_cast<size_t>(i)] == '\r' && m_data[static_cast<size_t>(i) + 1] == '\n') {
            cr = i;
            break;
        }
    }
    const int length = cr >= 0 ? cr - m_cursor + 2 : m_fill - m_cursor;
    if (outLen != nullptr) {
        *outLen = length;
    }
    if (cr < 0 || length > limit || dest == nullptr) {
        return false;
    }
    std::memcpy(dest, m_data.data() + m_cursor, static_cast<size_t>(length));
    m_cursor = cr;
    return true;
}

void Em_RcvRing::Skip(int n) {
    std::lock_guard<std::mutex> guard(m_lock);
    if (n <= 0 || m_fill - m_mark < n) {
        return;
    }
    m_mark += n;
    if (m_cursor < m_mark) {
        m_cursor = m_mark;
    }
}

void Em_RcvRing::Skip_To_Lead(int n, const unsigned char* leads, int count) {
    std::lock_guard<std::mutex> guard(m_lock);
    if (n <= 0 || m_fill - m_mark < n) {
        return;
    }
    const unsigned char* p = m_data.data();
    int at = m_mark + n;
    // memchr finds the first lead, a window at a time so that a nearby other lead is not
    // found only after a search to the fill count; the bytes before it are tried against the
    // other leads.
    constexpr int kWindow = 256;
    const auto other_lead = [leads, count](unsigned char c) {
        bool hit = false;
        for (int k = 1; k < count; ++k) {
            hit |= c == leads[k];
        }
        return hit;
    };
    // Usually a message follows the last at once; a few leads are tried inline.
    const bool lead_next =
        leads != nullptr && count > 0 && at < m_fill && (p[at] == leads[0] || other_lead(p[at]));
    while (!lead_next && leads != nullptr && count > 0 && at < m_fill) {
        // With one lead there is no nearby other lead to miss: one search to the fill count.
        const int stop = count == 1 || m_fill - at < kWindow ? m_fill : at + kWindow;
        const void* first = std::memchr(p + at, leads[0], static_cast<size_t>(stop - at));
        const int end = first != nullptr
                            ? static_cast<int>(static_cast<const unsigned char*>(first) - p)
                            : stop;
        if (count == 1) {
            at = end;  // no other lead to try the bytes against
        }
        while (at < end && !other_lead(p[at])) {
            ++at;
        }
        if (at < end || first != nullptr) {
            break;
        }
    }
    m_mark = at;
    if (m_cursor < m_mark) {
        m_cursor = m_mark;
    }
}

void Em_RcvRing::Rewind() {
    std::lock_guard<std::mutex> guard(m_lock);
    m_cursor = m_mark;
}

void Em_RcvRing::Commit() {
    std::lock_guard<std::mutex> guard(m_lock);
    m_mark = m_cursor;
}

void Em_RcvRing::Compact() {
    std::lock_guard<std::mutex> guard(m_lock);
    Compact_Locked();
}

void Em_RcvRing::Compact_If_Above(int threshold) {
    std::lock_guard<std::mutex> guard(m_lock);
    if (Worth_Compacting_Locked(threshold)) {
        Compact_Locked();
    }
}

// A ring kept full of unparsed bytes consumes them one at a time: moving the whole ring for
// each would make a resync quadratic, so it moves once enough is consumed (Append still
// compacts whenever a read needs the room).
bool Em_RcvRing::Worth_Compacting_Locked(int threshold) const {
    return m_fill > threshold && (m_mark >= m_fill - threshold || m_mark * 8 >= Capacity());
}

void Em_RcvRing::Compact_Locked() {
    if (m_mark == 0) {
        return;
    }
    std::memmove(m_data.data(), m_data.data() + m_mark, static_cast<size_t>(m_fill - m_mark));
    m_fill -= m_mark;
    m_cursor -= m_mark;
    m_mark = 0;
}

void Em_RcvRing::Clear() {
    std::lock_guard<std::mutex> guard(m_lock);
    m_cursor = m_fill = m_mark = 0;
}

int Em_RcvRing::Begin_Step(int threshold, unsigned char* dest, int n) {
    std::lock_guard<std::mutex> guard(m_lock);
    if (Worth_Compacting_Locked(threshold)) {
        Compact_Locked();
    }
    m_cursor = m_mark;
    const int k = n < m_fill - m_cursor ? n : m_fill - m_cursor;
    if (dest == nullptr || k <= 0) {
        return 0;
    }
    std::memcpy(dest, m_data.data() + m_cursor, static_cast<size_t>(k));
    return k;
}

int Em_RcvRing::Fill() const {
    std::lock_guard<std::mutex> guard(m_lock);
    return m_fill;
}

int Em_RcvRing::Cursor() const {
    std::lock_guard<std::mutex> guard(m_lock);
    return m_cursor;
}

int Em_RcvRing::Mark() const {
    std::lock_guard<std::mutex> guard(m_lock);
    return m_mark;
}

}  // namespace BVParse
}  // namespace Brevan2011
