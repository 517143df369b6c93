// The static-data directory reader, the file name and header builders and the download file,
// without a session.
#include <clocale>
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "static_files.h"

namespace varnok_test {
namespace {

using Varnok::StaticFileDirectory;
using Varnok::StaticFileDownload;
using Varnok::StaticFileRecord;
using Bytes = std::vector<unsigned char>;

// One entry: marker, GPS time 4C 8B 13 00 (big-endian: 2020-09-15 05:26:24), a byte, size bytes
// 10 20, minutes 5A 00, size byte 01 and one byte, three bytes; then the two bytes that must
// follow the entry's last field.
const Bytes kEntry = {'*',  0x4C, 0x8B, 0x13, 0x00, 0xEE, 0x10, 0x20, 0x5A,
                      0x00, 0x01, 0xEE, 0xEE, 0xEE, 0xEE, 0x00, 0x00};

std::vector<StaticFileRecord> readInPieces(const Bytes& bytes, std::size_t piece,
                                           const std::string& id = "0001") {
    StaticFileDirectory dir;
    std::vector<StaticFileRecord> files;
    for (std::size_t at = 0; at < bytes.size(); at += piece) {
        const std::size_t n = std::min(piece, bytes.size() - at);
        dir.append(bytes.data() + at, n, id, files);
    }
    return files;
}

Bytes operator+(Bytes a, const Bytes& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

TEST(StaticFileDirectoryTest, TheEntryGivesOneRecordInAnyPieces) {
    for (std::size_t piece : {kEntry.size(), std::size_t{1}, std::size_t{2}, std::size_t{7}}) {
        const std::vector<StaticFileRecord> files = readInPieces(kEntry, piece);
        ASSERT_EQ(files.size(), 1u) << piece;
        const StaticFileRecord& f = files[0];
        EXPECT_EQ(f.gpsTime, 1284182784u);
        EXPECT_EQ(f.name, "0001259F");
        EXPECT_EQ(f.size, 36872);
        EXPECT_EQ(f.start.year, 2020);
        EXPECT_EQ(f.start.month, 9);
        EXPECT_EQ(f.start.day, 15);
        EXPECT_EQ(f.start.hour, 5);
        EXPECT_EQ(f.start.minute, 26);
        EXPECT_EQ(f.start.second, 24.0);
        EXPECT_EQ(f.secondTime.hour, 1);
        EXPECT_EQ(f.secondTime.minute, 30);
        EXPECT_EQ(f.secondTime.year, 0);
    }
}

TEST(StaticFileDirectoryTest, TheLastFieldWaitsForTwoMoreBytes) {
    StaticFileDirectory dir;
    std::vector<StaticFileRecord> files;
    dir.append(kEntry.data(), kEntry.size() - 2, "0001", files);
    EXPECT_TRUE(files.empty());
    dir.append(kEntry.data() + kEntry.size() - 2, 2, "0001", files);
    ASSERT_EQ(files.size(), 1u);
    EXPECT_EQ(files[0].size, 36872);
}

TEST(StaticFileDirectoryTest, MarkersJunkAndEmptyEntries) {
    Bytes brace = kEntry;
    brace[0] = '{';
    Bytes empty = kEntry;
    empty[1] = empty[2] = empty[3] = empty[4] = 0;
    // A second entry after the byte the reader steps over.
    Bytes second = kEntry;
    second[4] = 0x10;  // 16 s later
    const Bytes twoEntries = Bytes(kEntry.begin(), kEntry.end() - 1) + second;
    const struct {
        const char* what;
        Bytes bytes;
        std::vector<std::uint32_t> times;
        bool inOnePiece = false;  // in one piece only: a '{' alone in a piece opens an entry
    } cases[] = {
        {"leading junk is dropped", Bytes{1, 2, 3, 0x7D} + kEntry, {1284182784u}},
        {"'{' opens an entry when no '*' follows", brace, {1284182784u}},
        {"'*' wins over an earlier '{'", Bytes{'{', 9, 9} + kEntry, {1284182784u}, true},
        {"no marker: nothing",
         Bytes{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17},
         {}},
        {"GPS time 0 is not listed", empty, {}},
        {"two entries", twoEntries, {1284182784u, 1284182800u}},
    };
    for (const auto& c : cases) {
        for (std::size_t piece : {c.bytes.size(), std::size_t{1}}) {
            if (c.inOnePiece && piece != c.bytes.size()) {
                continue;
            }
            std::vector<std::uint32_t> times;
            for (const StaticFileRecord& f : readInPieces(c.bytes, piece)) {
                times.push_back(f.gpsTime);
            }
            EXPECT_EQ(times, c.times) << c.what << ", pieces of " << piece;
        }
    }
    // Bytes without a marker are discarded.
    StaticFileDirectory dir;
    std::vector<StaticFileRecord> files;
    const Bytes junk(40, 0x55);
    dir.append(junk.data(), junk.size(), "0001", files);
    EXPECT_EQ(dir.bufferedBytes(), 0u);
    // A reset starts over: half an entry before it counts for nothing.
    dir.append(kEntry.data(), 9, "0001", files);
    dir.reset();
    dir.append(kEntry.data() + 9, kEntry.size() - 9, "0001", files);
    EXPECT_TRUE(files.empty());
}

TEST(StaticFileDirectoryTest, RandomPiecesNeverReadPastTheBuffer) {
    std::mt19937 random(20201);
    for (int round = 0; round < 300; ++round) {
        Bytes bytes(random() % 400);
        for (auto& b : bytes) {
            const unsigned r = random() % 8;
            b = static_cast<unsigned char>(r == 0 ? '*' : r == 1 ? '{' : random());
        }
        std::vector<StaticFileRecord> files = readInPieces(bytes, 1 + random() % 60);
        for (const StaticFileRecord& f : files) {
            EXPECT_NE(f.gpsTime, 0u);
            EXPECT_LE(f.name.size(), 21u);
            EXPECT_GE(f.size, 0);
            EXPECT_LT(f.secondTime.hour, 24);
        }
    }
}

TEST(StaticFileNames, TheReceiverIdIsCutToSeventeenCharacters) {
    EXPECT_EQ(Varnok::staticFileName("0001", 259, 5), "0001259F");
    EXPECT_EQ(Varnok::staticFileName("", 1, 0), "001A");
    EXPECT_EQ(Varnok::staticFileName("", 366, 23), "366X");
    const std::string serial22 = "ABCDEFGHIJKLMNOPQRSTUV";
    EXPECT_EQ(Varnok::staticFileName(serial22, 259, 5), "ABCDEFGHIJKLMNOPQ259F");
    // Through the reader too.
    const std::vector<StaticFileRecord> files = readInPieces(kEntry, kEntry.size(), serial22);
    ASSERT_EQ(files.size(), 1u);
    EXPECT_EQ(files[0].name, "ABCDEFGHIJKLMNOPQ259F");
}

TEST(StaticFileHeaders, SixLinesThenZerosUpTo160Bytes) {
    const std::string text =
        "VELTANAV COLLECTED DATA FILE\r\nver 54.0\r\nReceiverID:0001\r\nDate:2016-03-01\r\n"
        "Model:R1\r\nAntHigh:0.000\r\n";
    std::string expected = text;
    expected.resize(160, '\0');
    EXPECT_EQ(Varnok::staticFileHeader(2, "0001", "2016-03-01", "R1"), expected);
    for (int board : {0, 1, 4, 7}) {
        const std::string h = Varnok::staticFileHeader(board, "0001", "2016-03-01", "R1");
        EXPECT_EQ(h.size(), 160u);
        EXPECT_EQ(h.substr(30, 10), "ver 60.0\r\n") << board;
    }
    // Over-long fields are cut; all six lines and the terminating zero stay.
    const std::string longText(300, 'x');
    const std::string h = Varnok::staticFileHeader(2, longText, longText, longText);
    ASSERT_EQ(h.size(), 160u);
    EXPECT_EQ(h.back(), '\0');
    const std::string shown = h.c_str();
    EXPECT_EQ(shown.substr(shown.size() - 15), "AntHigh:0.000\r\n");
    EXPECT_NE(shown.find("\r\nDate:x"), std::string::npos);
    EXPECT_NE(shown.find("\r\nModel:x"), std::string::npos);
}

// The program runs under the user's locale; a comma-decimal one must not reach the header.
TEST(StaticFileHeaders, TheVersionKeepsItsPointUnderACommaLocale) {
    const std::string before = std::setlocale(LC_NUMERIC, nullptr);
    if (std::setlocale(LC_NUMERIC, "de_DE.UTF-8") == nullptr) {
        GTEST_SKIP() << "de_DE.UTF-8 is not installed";
    }
    const std::string h = Varnok::staticFileHeader(2, "0001", "2016-03-01", "R1");
    std::setlocale(LC_NUMERIC, before.c_str());
    EXPECT_EQ(h.substr(30, 10), "ver 54.0\r\n");
}

class StaticFileDownloadTest : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/varnok-static-XXXXXX";
        ASSERT_NE(::mkdtemp(pattern), nullptr);
        dir_ = pattern;
    }
    void TearDown() override {
        for (const char* name : {"/a.dat", "/b.dat"}) {
            std::remove((dir_ + name).c_str());
        }
        ::rmdir(dir_.c_str());
    }
    static std::string contents(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    std::string dir_;
};

TEST_F(StaticFileDownloadTest, AppendsClosesWhenReplacedAndWhenDestroyed) {
    const std::string a = dir_ + "/a.dat";
    const std::string b = dir_ + "/b.dat";
    {
        StaticFileDownload d;
        EXPECT_FALSE(d.write("x", 1));  // nothing open
        ASSERT_TRUE(d.open(a.c_str()));
        EXPECT_TRUE(d.write("first", 5));
        // A second open closes the first file: its bytes are on disk.
        ASSERT_TRUE(d.open(b.c_str()));
        EXPECT_EQ(contents(a), "first");
        EXPECT_TRUE(d.write("second", 6));
    }
    // The destructor closed the second.
    EXPECT_EQ(contents(b), "second");
    // Opened again, the file is appended to.
    StaticFileDownload d;
    ASSERT_TRUE(d.open(a.c_str()));
    EXPECT_TRUE(d.write("+more", 5));
    d.close();
    EXPECT_FALSE(d.isOpen());
    EXPECT_EQ(contents(a), "first+more");
    // A path that cannot be opened.
    EXPECT_FALSE(d.open((dir_ + "/missing/c.dat").c_str()));
    EXPECT_FALSE(d.open(nullptr));
    EXPECT_FALSE(d.isOpen());
}

}  // namespace
}  // namespace varnok_test
