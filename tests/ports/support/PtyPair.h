#pragma once

#include <string>

namespace varnok_test {

// A pseudo-terminal: the test talks on the master side, the port under test opens the slave.
// A slave descriptor stays open for the pair's life, so its settings can be read back.
class PtyPair {
public:
    PtyPair();
    ~PtyPair();
    PtyPair(const PtyPair&) = delete;
    PtyPair& operator=(const PtyPair&) = delete;

    bool ok() const { return master_ >= 0 && slave_ >= 0; }
    int master() const { return master_; }
    int slave() const { return slave_; }
    const std::string& slavePath() const { return slavePath_; }

    void writeMaster(const std::string& bytes);
    // Hangs the line up, as an unplugged receiver does: the slave side sees a hang-up.
    void closeMaster();
    // Reads from the master until count bytes came or the time ran out.
    std::string readMaster(std::size_t count, int timeoutMs);
    // Waits until the slave has count bytes queued.
    bool waitQueued(int count, int timeoutMs);

private:
    int master_ = -1;
    int slave_ = -1;
    std::string slavePath_;
};

}  // namespace varnok_test
