#include "BVParse/Em_TrsMtPrlRTCM.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <cstdlib>
#include <sstream>
#include <string>
#include <utility>

#include "RtcmTestFrames.h"

using namespace Brevan2011::BVParse;
using rtcm_test::BitWriter;

namespace {

constexpr double kLambda1 = 299792458.0 / 1575.42e6;

struct Block {
    int id = 5;
    std::uint32_t pr1 = 1000000;  // x 0.02 m
    std::int32_t ppr1 = 0;        // x 0.0005 m
    int lock1 = 50;
    int amb = 70;
    int cnr1 = 180;
    int code2 = 3;
    std::int32_t pr21 = 100;
    std::int32_t ppr2 = 0;
    int lock2 = 50;
    int cnr2 = 160;
};

std::vector<std::uint8_t> Frame1004(const std::vector<Block>& blocks) {
    BitWriter w;
    w.Put(1004, 12)
        .Put(278, 12)
        .Put(100000, 30)
        .Put(0, 1)
        .Put(blocks.size() & 31, 5)
        .Put(0, 1)
        .Put(0, 3);
    for (const Block& b : blocks) {
        w.Put(std::uint64_t(b.id), 6)
            .Put(0, 1)
            .Put(b.pr1, 24)
            .PutS(b.ppr1, 20)
            .Put(std::uint64_t(b.lock1), 7)
            .Put(std::uint64_t(b.amb), 8)
            .Put(std::uint64_t(b.cnr1), 8)
            .Put(std::uint64_t(b.code2), 2)
            .PutS(b.pr21, 14)
            .PutS(b.ppr2, 20)
            .Put(std::uint64_t(b.lock2), 7)
            .Put(std::uint64_t(b.cnr2), 8);
    }
    return w.Frame();
}

// Observation store whose records start as a recognisable sentinel.
struct Store {
    explicit Store(int capacity, int extra = 0) : records(std::size_t(capacity + extra)) {
        for (auto& r : records) {
            std::memset(static_cast<void*>(&r), 0xA5, sizeof(r));
        }
        obs.n = 0;
        obs.nmax = capacity;
        obs.data = records.data();
    }
    std::vector<obsd_t> records;
    obs_t obs;
};

std::vector<std::uint8_t> Sized(unsigned bytes, unsigned number) {
    std::vector<std::uint8_t> f(bytes, 0);
    f[0] = 0xD3;
    if (bytes >= 5) {
        f[3] = std::uint8_t(number >> 4);
        f[4] = std::uint8_t((number & 15) << 4);
    }
    return f;
}

}  // namespace

TEST(RtcmCheck, MessageLengthTable) {
    struct Case {
        unsigned number, bytes;
        bool ok;
    } cases[] = {
        {1019, 60, false}, {1019, 61, true}, {1023, 72, false}, {1023, 73, true},
        {1024, 73, false}, {1024, 74, true}, {1025, 24, false}, {1025, 25, true},
        {1026, 29, false}, {1026, 30, true}, {1027, 32, false}, {1027, 33, true},
        {1004, 6, true},   {1012, 6, true},  {1033, 6, true},   {1005, 25, false},
        {1230, 40, false},
    };
    Em_TrsMtPrlRTCM dec;
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.number << " at " << c.bytes << " bytes");
        auto f = Sized(c.bytes, c.number);
        EXPECT_EQ(dec.Prc_Prtcl_ID(c.number, f.data(), c.bytes), c.ok);
        EXPECT_EQ(dec.Last_Msg_No, c.number);
    }
    auto f72 = Sized(72, 1023);
    auto f73 = Sized(73, 1023);
    EXPECT_FALSE(Em_TrsMtPrlRTCM::Is1023DataValid(f72.data(), 72));
    EXPECT_TRUE(Em_TrsMtPrlRTCM::Is1023DataValid(f73.data(), 73));
    EXPECT_FALSE(dec.Prc_Prtcl_ID(1004, nullptr, 10));
    EXPECT_FALSE(dec.Prc_Prtcl_ID(1004, f73.data(), 0));
    EXPECT_EQ(dec.Last_Msg_No, 1230u);  // a refused null frame changes nothing
}

TEST(RtcmCheck, HelmertNameCountersBoundTheRead) {
    // N = 0, M = 0: 1021 needs more than 436 bits, 1022 more than 541.
    for (unsigned bytes = 0; bytes < 80; ++bytes) {
        std::vector<std::uint8_t> f(bytes, 0);
        const bool v21 = Em_TrsMtPrlRTCM::Is1021DataValid(bytes ? f.data() : nullptr, bytes);
        const bool v22 = Em_TrsMtPrlRTCM::Is1022DataValid(bytes ? f.data() : nullptr, bytes);
        EXPECT_EQ(v21, bytes * 8 > 436) << bytes;
        EXPECT_EQ(v22, bytes * 8 > 541) << bytes;
    }
    // N = 31 claims 248 name bits: a 6-byte frame cannot even hold M and is refused.
    std::vector<std::uint8_t> f(6, 0xFF);
    EXPECT_FALSE(Em_TrsMtPrlRTCM::Is1021DataValid(f.data(), 6));
}

TEST(RtcmStore, KeepsEveryFrameAndAnswersByDecoder) {
    TRSMT_HOLDER store{};
    Init_TrsMt_Holder(&store);
    ASSERT_NE(store.Rtcm, nullptr);
    auto f1005 = Sized(25, 1005);
    EXPECT_FALSE(Prc_TrsMt_Frame(&store, 1005, f1005.data(), 25, 1));
    EXPECT_EQ(store.Info.Msg_No, 1005);
    EXPECT_EQ(store.Info.Length, 25);
    EXPECT_EQ(store.Info.Selector, 1);
    EXPECT_EQ(0, std::memcmp(store.Info.Data, f1005.data(), 25));

    EXPECT_TRUE(Prc_TrsMt_Frame(&store, 1005, f1005.data(), 25, 2));  // pass decoder
    EXPECT_FALSE(Prc_TrsMt_Frame(&store, 1005, f1005.data(), 25, 3));

    std::vector<std::uint8_t> big(2049, 0xD3);
    EXPECT_FALSE(Prc_TrsMt_Frame(&store, 1004, big.data(), 2049, 1));
    EXPECT_EQ(store.Info.Length, 25);  // not stored
    std::vector<std::uint8_t> max(2048, 0xD3);
    EXPECT_TRUE(Prc_TrsMt_Frame(&store, 1004, max.data(), 2048, 1));
    EXPECT_EQ(store.Info.Length, 2048);
    Free_TrsMt_Holder(&store);
}

// The number after "key": inside the JSON object text [from, to).
static double Json_Number(const std::string& s, std::size_t from, std::size_t to, const char* key) {
    const std::string k = std::string("\"") + key + "\":";
    const std::size_t at = s.find(k, from);
    EXPECT_TRUE(at != std::string::npos && at < to) << key;
    return at == std::string::npos ? 0.0 : std::strtod(s.c_str() + at + k.size(), nullptr);
}

// The object text after "name":{ from `from`, through its closing brace.
static std::pair<std::size_t, std::size_t> Json_Object(const std::string& s, std::size_t from,
                                                       const char* name) {
    const std::size_t at = s.find(std::string("\"") + name + "\":{", from);
    if (at == std::string::npos) {
        return {std::string::npos, std::string::npos};
    }
    return {at, s.find('}', at)};
}

// Every 1004 frame of the captures against gpsd's published decode: both pseudoranges, both
// carrier phases, the codes, the CNRs, and the loss-of-lock marks a receiving session derives
// from the lock times frame after frame.
TEST(Rtcm1004, CorpusMatchesPublishedDecodes) {
    constexpr double kLambda2 = 299792458.0 / 1227.60e6;
    const std::string dir = std::string(VARNOK_CORPUS_DIR) + "/gpsd/";
    int checked = 0;
    int phases = 0;
    int slips = 0;
    for (const char* name : {"rtcm3.bndm.log", "ublox-f9p-rtcm.log"}) {
        std::vector<std::uint8_t> data, chk;
        if (!rtcm_test::Read_File(dir + name, data) ||
            !rtcm_test::Read_File(dir + name + std::string(".chk"), chk)) {
            GTEST_SKIP() << "corpus file missing: " << name;
        }
        std::vector<std::string> expected;
        std::istringstream lines(std::string(chk.begin(), chk.end()));
        for (std::string line; std::getline(lines, line);) {
            if (line.find("\"type\":1004,") != std::string::npos) {
                expected.push_back(line);
            }
        }
        Store session(64);
        Em_TrsMtPrlRTCM running(session.obs);  // one decoder for the whole stream
        int lastLock[33][2] = {};
        std::size_t k = 0;
        for (auto fr : rtcm_test::Frames_In(data)) {
            if (fr.number != 1004) {
                continue;
            }
            ASSERT_LT(k, expected.size());
            Store st(64);
            Em_TrsMtPrlRTCM dec(st.obs);
            ASSERT_TRUE(dec.Decode_type1004(fr.bytes.data(), unsigned(fr.bytes.size())));
            ASSERT_TRUE(running.Decode_type1004(fr.bytes.data(), unsigned(fr.bytes.size())));
            int idx = 0;
            const std::string& line = expected[k++];
            for (std::size_t at = line.find("\"ident\":"); at != std::string::npos;
                 at = line.find("\"ident\":", at + 1)) {
                const int ident = std::atoi(line.c_str() + at + 8);
                if (ident < 1 || ident > 32) {
                    continue;
                }
                SCOPED_TRACE(testing::Message() << name << " frame " << k << " sat " << ident);
                const auto l1 = Json_Object(line, at, "L1");
                const auto l2 = Json_Object(line, at, "L2");
                ASSERT_NE(l1.first, std::string::npos);
                ASSERT_NE(l2.first, std::string::npos);
                const double pr1 = Json_Number(line, l1.first, l1.second, "prange") +
                                   Json_Number(line, l1.first, l1.second, "amb") * 299792.458;
                const obsd_t& o = st.records[std::size_t(idx)];
                const obsd_t& r = session.records[std::size_t(idx)];
                EXPECT_NEAR(o.P[0], pr1, 0.006);
                EXPECT_EQ(o.code[0], Json_Number(line, l1.first, l1.second, "ind") != 0 ? 2 : 1);
                EXPECT_EQ(o.code[1], Json_Number(line, l2.first, l2.second, "ind") != 0 ? 19 : 14);
                if (o.L[0] != 0.0) {
                    EXPECT_NEAR(o.L[0] * kLambda1,
                                pr1 + Json_Number(line, l1.first, l1.second, "delta"), 0.007);
                    ++phases;
                }
                if (o.L[1] != 0.0) {
                    EXPECT_NEAR(o.L[1] * kLambda2,
                                pr1 + Json_Number(line, l2.first, l2.second, "delta"), 0.007);
                }
                if (o.P[1] != 0.0) {
                    // The published dump prints the 14-bit L2-L1 difference unsigned; the
                    // field is signed (its L2 phase range "delta" agrees with the signed one).
                    long raw = std::lround(Json_Number(line, l2.first, l2.second, "prange") / 0.02);
                    raw = raw >= 8192 ? raw - 16384 : raw;
                    EXPECT_NEAR(o.P[1], pr1 + raw * 0.02, 0.006);
                }
                const auto pairs = {l1, l2};
                int f = 0;
                for (const auto& obj : pairs) {
                    const double cnr = Json_Number(line, obj.first, obj.second, "CNR");
                    EXPECT_EQ(o.SNR[f], static_cast<int>(std::lround(cnr * 4))) << "freq " << f;
                    const int lock =
                        static_cast<int>(Json_Number(line, obj.first, obj.second, "lockt"));
                    const int lli = lock < lastLock[ident][f] ? 1 : 0;
                    EXPECT_EQ(r.LLI[f], lli) << "freq " << f << " lock " << lock;
                    slips += lli;
                    lastLock[ident][f] = lock;
                    ++f;
                }
                ++idx;
                ++checked;
            }
        }
        EXPECT_EQ(k, expected.size()) << name;
    }
    EXPECT_GT(checked, 100);
    EXPECT_GT(phases, 100);
    RecordProperty("lock_losses", slips);
}

TEST(Rtcm1004, PhaseStepSkippedIdsAndSbasNumbering) {
    Store st(8);
    Em_TrsMtPrlRTCM dec(st.obs);
    Block gps, skipped, sbas;
    gps.id = 7;
    gps.ppr1 = 20000;  // 10 m of phase - pseudorange
    skipped.id = 35;
    sbas.id = 45;
    sbas.ppr1 = 4000;
    auto f = Frame1004({gps, skipped, sbas});
    ASSERT_TRUE(dec.Decode_type1004(f.data(), unsigned(f.size())));
    const double pr = 1000000 * 0.02 + 70 * 299792.458;
    const double cp1 = 20000 * 0.0005 / kLambda1;
    EXPECT_DOUBLE_EQ(st.records[0].P[0], pr);
    EXPECT_DOUBLE_EQ(st.records[0].L[0], pr / kLambda1 + cp1);
    // ID 35 took no record: the SBAS block is the second one.
    EXPECT_DOUBLE_EQ(st.records[1].L[0], pr / kLambda1 + 4000 * 0.0005 / kLambda1);
    EXPECT_EQ(st.records[1].code[1], 19);
    EXPECT_EQ(st.records[1].SNR[0], 180);
    EXPECT_EQ(st.records[2].sat, 0xA5);  // untouched
    EXPECT_EQ(st.obs.n, 0);

    // The next phase 800 cycles lower is raised by 1500; satellite 97 keeps its own memory.
    const std::int32_t down = std::int32_t(std::lround(800 * kLambda1 / 0.0005));
    gps.ppr1 -= down;
    sbas.ppr1 -= down;
    f = Frame1004({gps, sbas});
    ASSERT_TRUE(dec.Decode_type1004(f.data(), unsigned(f.size())));
    EXPECT_NEAR(st.records[0].L[0] - pr / kLambda1, cp1 - 800 + 1500, 1e-3);
    EXPECT_NEAR(st.records[1].L[0] - pr / kLambda1, 4000 * 0.0005 / kLambda1 - 800 + 1500, 1e-3);
}

TEST(Rtcm1004, FallingLockTimeSetsLossOfLock) {
    Store st(2);
    Em_TrsMtPrlRTCM dec(st.obs);
    Block b;
    b.lock1 = 60;
    b.lock2 = 60;
    auto f = Frame1004({b});
    dec.Decode_type1004(f.data(), unsigned(f.size()));
    EXPECT_EQ(st.records[0].LLI[0], 0);
    b.lock1 = 70;  // still locked
    b.lock2 = 10;  // restarted
    f = Frame1004({b});
    dec.Decode_type1004(f.data(), unsigned(f.size()));
    EXPECT_EQ(st.records[0].LLI[0], 0);
    EXPECT_EQ(st.records[0].LLI[1], 1);
    f = Frame1004({b});
    dec.Decode_type1004(f.data(), unsigned(f.size()));
    EXPECT_EQ(st.records[0].LLI[1], 0);
}

TEST(Rtcm1004, StopsAtStoreCapacity) {
    Store st(10, 4);
    Em_TrsMtPrlRTCM dec(st.obs);
    std::vector<Block> blocks(20);
    for (std::size_t i = 0; i < blocks.size(); ++i) {
        blocks[i].id = int(i + 1);
    }
    auto f = Frame1004(blocks);
    ASSERT_TRUE(dec.Decode_type1004(f.data(), unsigned(f.size())));
    for (int i = 0; i < 10; ++i) {
        EXPECT_GT(st.records[std::size_t(i)].P[0], 0.0);
    }
    for (std::size_t i = 10; i < 14; ++i) {
        EXPECT_EQ(st.records[i].sat, 0xA5);
        EXPECT_EQ(st.records[i].SNR[0], 0xA5);
    }
    EXPECT_EQ(st.obs.n, 0);
    Em_TrsMtPrlRTCM no_store;
    EXPECT_FALSE(no_store.Decode_type1004(f.data(), unsigned(f.size())));
}

TEST(Rtcm1004, InvalidFieldsLeaveValuesEmpty) {
    Store st(2);
    Em_TrsMtPrlRTCM dec(st.obs);
    Block b;
    b.ppr1 = -524288;
    b.pr21 = -8192;
    b.ppr2 = -524288;
    b.cnr1 = 0;
    auto f = Frame1004({b});
    ASSERT_TRUE(dec.Decode_type1004(f.data(), unsigned(f.size())));
    EXPECT_EQ(st.records[0].P[0], 0.0);
    EXPECT_EQ(st.records[0].L[0], 0.0);
    EXPECT_EQ(st.records[0].P[1], 0.0);
    EXPECT_EQ(st.records[0].L[1], 0.0);
    EXPECT_EQ(st.records[0].SNR[0], 0);
}

namespace {
std::string g_trace;
void Trace_Into(const char* text) {
    g_trace += text;
}
}  // namespace

TEST(RtcmCheck, TraceGoesToTheHookOnlyWhenSet) {
    Em_TrsMtPrlRTCM dec;
    auto f = Sized(10, 1004);
    g_trace.clear();
    dec.Prc_Prtcl_ID(1004, f.data(), 10);
    EXPECT_TRUE(g_trace.empty());
    Set_TrsMt_Trace(&Trace_Into);
    dec.Prc_Prtcl_ID(1004, f.data(), 10);
    dec.Prc_Prtcl_ID(1005, f.data(), 10);
    Set_TrsMt_Trace(nullptr);
    dec.Prc_Prtcl_ID(1006, f.data(), 10);
    EXPECT_EQ(g_trace, "1004\r\n1005\r\n");
}

TEST(Rtcm1004, CopyKeepsPhaseMemoryAndStore) {
    Store st(2);
    Em_TrsMtPrlRTCM dec(st.obs);
    Block b;
    b.ppr1 = 20000;
    auto f = Frame1004({b});
    dec.Decode_type1004(f.data(), unsigned(f.size()));
    Em_TrsMtPrlRTCM copy(dec);
    EXPECT_EQ(copy.Kind, 1);
    b.ppr1 -= std::int32_t(std::lround(800 * kLambda1 / 0.0005));
    f = Frame1004({b});
    copy.Decode_type1004(f.data(), unsigned(f.size()));
    const double pr = 1000000 * 0.02 + 70 * 299792.458;
    EXPECT_NEAR(st.records[0].L[0] - pr / kLambda1, 20000 * 0.0005 / kLambda1 + 700, 1e-3);
    Em_TrsMtPrlRTCM assigned;
    assigned = copy;
    EXPECT_EQ(assigned.Last_Msg_No, copy.Last_Msg_No);
}
