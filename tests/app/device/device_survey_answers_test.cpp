// Category 8 on the recording fake: the static file directory and download, and the other
// old-protocol survey answers in their order.
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstring>

#include "device_test_support.h"

namespace varnok_test {
namespace {

using Varnok::DeviceManagerTestAccess;
using Strings = std::vector<std::string>;
using Bytes = std::vector<unsigned char>;

// One directory entry (2020-09-15 05:26:24, 36872 bytes, 1 h 30 min) and the two bytes after it.
const Bytes kEntry = {'*',  0x4C, 0x8B, 0x13, 0x00, 0xEE, 0x10, 0x20, 0x5A,
                      0x00, 0x01, 0xEE, 0xEE, 0xEE, 0xEE, 0x00, 0x00};

class SurveyAnswers : public DeviceFixture {
protected:
    void SetUp() override {
        DeviceFixture::SetUp();
        ASSERT_TRUE(dir_.isValid());
        ASSERT_TRUE(connectTcp(2));
        hub->clear();
        fake.script->clear();
    }
    // The next piece a Get_ row hands out: the bytes and the length it reports.
    void scriptPiece(const char* getter, Bytes bytes, int length) {
        fake.script->answer<void(unsigned char*, int&)>(
            getter, [bytes, length](unsigned char* out, int& n) {
                // The landed readers copy at most 56 bytes.
                if (!bytes.empty()) {
                    std::memcpy(out, bytes.data(), std::min<std::size_t>(bytes.size(), 56));
                }
                n = length;
            });
    }
    void scriptPiece(const char* getter, const Bytes& bytes) {
        scriptPiece(getter, bytes, static_cast<int>(bytes.size()));
    }
    void fire(std::uint32_t bits) {
        fireFromThread(fake.session(), 8, bits);
        deliver();
    }
    QByteArray contents(const QString& name) const {
        QFile f(dir_.filePath(name));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    std::string path(const char* name) const { return dir_.filePath(name).toStdString(); }
    void setReceiver(int board, const char* model) {
        DEVICE_STR& d = DeviceManagerTestAccess::cache(*dm).deviceInfo;
        std::memcpy(d.boardType, &board, sizeof board);
        std::memset(d.model, 0, sizeof d.model);
        std::memcpy(d.model, model, std::strlen(model));
    }

    QTemporaryDir dir_;
};

QByteArray header(const char* version, const char* id, const char* date, const char* model) {
    QByteArray h = QByteArray("VELTANAV COLLECTED DATA FILE\r\nver ") + version +
                   "\r\nReceiverID:" + id + "\r\nDate:" + date + "\r\nModel:" + model +
                   "\r\nAntHigh:0.000\r\n";
    h.resize(160, '\0');
    return h;
}

TEST_F(SurveyAnswers, TheDirectoryComesInPiecesAndIsAnnouncedAtItsEnd) {
    dm->setReceiverId(QStringLiteral("0001"));
    dm->queryStaticFileDir();
    EXPECT_EQ(fake.script->lines(), Strings{"Send_Static_FileDir()"});
    // Two full pieces, then the last: the entry straddles them.
    scriptPiece("Get_Static_FileDir", Bytes(kEntry.begin(), kEntry.begin() + 6));
    fire(0x2u);
    scriptPiece("Get_Static_FileDir", Bytes(kEntry.begin() + 6, kEntry.end() - 2));
    fire(0x2u);
    EXPECT_TRUE(dm->staticFileList().empty());
    EXPECT_TRUE(hub->events().empty());
    scriptPiece("Get_Static_FileDir", Bytes(kEntry.end() - 2, kEntry.end()));
    fire(0x4u);
    EXPECT_EQ(hub->events(), Strings{"staticFileDir()"});
    ASSERT_EQ(dm->staticFileList().size(), 1u);
    EXPECT_EQ(dm->staticFileList()[0].name, "0001259F");
    EXPECT_EQ(dm->staticFileList()[0].size, 36872);

    // A piece that is both full and last is read before the reader starts over; a new query
    // empties the list.
    dm->queryStaticFileDir();
    EXPECT_TRUE(dm->staticFileList().empty());
    hub->clear();
    scriptPiece("Get_Static_FileDir", kEntry);
    fire(0x2u | 0x4u);
    EXPECT_EQ(hub->events(), Strings{"staticFileDir()"});
    EXPECT_EQ(dm->staticFileList().size(), 1u);
    // A length beyond the buffer is held to it, a negative one to nothing.
    scriptPiece("Get_Static_FileDir", kEntry, 1 << 30);
    fire(0x2u);
    scriptPiece("Get_Static_FileDir", kEntry, -7);
    fire(0x4u);
}

TEST_F(SurveyAnswers, ADownloadIsTheHeaderThenEveryPieceInOrder) {
    dm->setReceiverId(QStringLiteral("0001"));
    setReceiver(2, "R1");
    ASSERT_TRUE(dm->openStaticFileDownload(0x01020304u, path("a.dat").c_str(), "2016-03-01"));
    EXPECT_EQ(fake.script->lines(), Strings{"Send_Read_Static_File(16909060)"});
    EXPECT_TRUE(dm->staticFileState().isOpen());
    const Bytes first(55, 'a');
    const Bytes second(55, 'b');
    const Bytes last(12, 'c');
    scriptPiece("Get_Read_Static_File", first);
    fire(0x8u);
    scriptPiece("Get_Read_Static_File", second);
    fire(0x8u);
    scriptPiece("Get_Read_Static_File", last);
    fire(0x10u);
    EXPECT_EQ(hub->events(), (Strings{"staticFileLength(55)", "staticFileLength(55)",
                                      "staticFileLength(12)", "staticFileData()"}));
    EXPECT_FALSE(dm->staticFileState().isOpen());
    EXPECT_EQ(contents("a.dat"), header("54.0", "0001", "2016-03-01", "R1") + QByteArray(55, 'a') +
                                     QByteArray(55, 'b') + QByteArray(12, 'c'));

    // One message that is the whole file; another board type; into the same file, appended.
    setReceiver(4, "R2");
    ASSERT_TRUE(dm->openStaticFileDownload(1, path("a.dat").c_str(), "2016-03-02"));
    hub->clear();
    scriptPiece("Get_Read_Static_File", Bytes(30, 'd'));
    fire(0x8u | 0x10u);
    EXPECT_EQ(hub->events(), (Strings{"staticFileLength(30)", "staticFileData()"}));
    EXPECT_EQ(dm->staticFileLength(), 30);
    EXPECT_EQ(contents("a.dat").mid(160 + 122),
              header("60.0", "0001", "2016-03-02", "R2") + QByteArray(30, 'd'));
}

TEST_F(SurveyAnswers, PiecesAreHeldToTheirBuffer) {
    ASSERT_TRUE(dm->openStaticFileDownload(1, path("a.dat").c_str(), "d"));
    scriptPiece("Get_Read_Static_File", Bytes(56, 'e'));
    fire(0x8u);
    scriptPiece("Get_Read_Static_File", Bytes(56, 'f'), 1 << 30);
    fire(0x8u);
    scriptPiece("Get_Read_Static_File", Bytes(), -5);
    fire(0x10u);
    EXPECT_EQ(hub->events(), (Strings{"staticFileLength(56)", "staticFileLength(64)",
                                      "staticFileLength(0)", "staticFileData()"}));
    // 56 bytes, then 64 (the last eight the buffer's zeros).
    EXPECT_EQ(contents("a.dat").mid(160),
              QByteArray(56, 'e') + QByteArray(56, 'f') + QByteArray(8, '\0'));
}

TEST_F(SurveyAnswers, AFileThatCannotBeOpenedAsksForNothing) {
    const std::string missing = path("missing/a.dat");
    EXPECT_FALSE(dm->openStaticFileDownload(1, missing.c_str(), "d"));
    EXPECT_FALSE(dm->openStaticFileDownload(1, nullptr, "d"));
    EXPECT_TRUE(fake.script->linesStartingWith("Send_Read_Static_File").empty());
    EXPECT_FALSE(dm->staticFileState().isOpen());
    // Pieces that come anyway are announced and written nowhere.
    scriptPiece("Get_Read_Static_File", Bytes(10, 'x'));
    fire(0x8u | 0x10u);
    EXPECT_EQ(hub->events(), (Strings{"staticFileLength(10)", "staticFileData()"}));
}

TEST_F(SurveyAnswers, ASecondDownloadClosesTheFirstAndTheHelpersWrite) {
    ASSERT_TRUE(dm->openStaticFileDownload(1, path("a.dat").c_str(), "d"));
    ASSERT_TRUE(dm->openStaticFileDownload(2, path("b.dat").c_str(), "d"));
    // The first file is closed: its header is on disk.
    EXPECT_EQ(contents("a.dat").size(), 160);
    dm->writeStaticFile("xyz", 3);
    dm->closeStaticFile();
    EXPECT_FALSE(dm->staticFileState().isOpen());
    dm->writeStaticFile("ignored", 7);
    EXPECT_EQ(contents("b.dat").mid(160), QByteArray("xyz"));
}

TEST_F(SurveyAnswers, TheProgramsEndClosesAnOpenDownload) {
    ASSERT_TRUE(dm->openStaticFileDownload(1, path("a.dat").c_str(), "d"));
    dm->writeStaticFile("abc", 3);
    Varnok::LogicContext::instance()->shutdown();
    dm = nullptr;
    EXPECT_EQ(contents("a.dat").size(), 163);
    EXPECT_EQ(contents("a.dat").mid(160), QByteArray("abc"));
}

TEST_F(SurveyAnswers, TheOtherAnswersInTheirOrder) {
    fake.script->answer<void(char*)>("Get_Static_AntType",
                                     [](char* out) { std::strcpy(out, "ANT-123"); });
    fake.script->answer<void(double&)>("Get_BasePosition_Difference", [](double& d) { d = 2.5; });
    fake.script->answer<void(std::vector<double>&)>("Get_Radio_ChannelList_Freq",
                                                    [](std::vector<double>& v) {
                                                        v = {1.0, 2.0, 3.0};
                                                    });
    fake.script->answer<void(std::vector<int>&)>("Get_Radio_ChannelList_Type",
                                                 [](std::vector<int>& v) {
                                                     v = {0, 3};
                                                 });
    fake.script->answer<void(NMEAConfigList&)>("Get_NMEA_Output_Configs", [](NMEAConfigList& l) {
        l.port = 3;
        l.keepAfterRestart = 1;
        l.messages = {{1, 3}, {64, 2}};
    });
    fake.script->answer<void(bool&)>("GetStaticStatus", [](bool& b) { b = true; });
    // A list of no entries (16-byte header, n = 0).
    scriptPiece("Get_BasePosition_List", Bytes(16, 0));
    fire(0x20u | 0x80u | 0x100u | 0x200u | 0x400u | 0x800u | 0x1000u);
    EXPECT_EQ(hub->events(), (Strings{"basePosList()", "basePosDifference()", "channelFreqs()",
                                      "channelTypes()", "nmeaConfigs()", "fileRecordStatus()"}));
    EXPECT_EQ(dm->staticAntennaType(), QStringLiteral("ANT-123"));
    EXPECT_EQ(dm->basePosDifference(), 2.5);
    EXPECT_EQ(dm->channelFreqs(), (std::vector<double>{1.0, 2.0, 3.0}));
    EXPECT_EQ(dm->channelTypes(), (std::vector<int>{0, 3}));
    NMEAConfigList nmea;
    dm->nmeaOutputConfigs(nmea);
    EXPECT_EQ(nmea.port, 3);
    EXPECT_EQ(nmea.keepAfterRestart, 1);
    ASSERT_EQ(nmea.messages.size(), 2u);
    EXPECT_EQ(nmea.messages[1].Nmea_Id, 64);
    EXPECT_EQ(nmea.messages[1].Rate_Id, 2);
    EXPECT_TRUE(dm->staticStatus());
    // The antenna type alone announces nothing; a new connection clears the status.
    hub->clear();
    fire(0x20u);
    EXPECT_TRUE(hub->events().empty());
    EXPECT_TRUE(dm->closePort());
    ASSERT_TRUE(connectTcp(2));
    EXPECT_FALSE(dm->staticStatus());
}

}  // namespace
}  // namespace varnok_test
