// The protocol object that Em_Gnss owns: receive ring, board driver, and the category and flag
// word of the last parsed message. The base reads the board data parser's values and forwards
// command requests to the board driver; each protocol generation derives from it.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "BVParse/BVParseExport.h"
#include "BVParse/Em_GnssTypes.h"
#include "BVParse/Em_RcvRing.h"

namespace Brevan2011 {
namespace BVParse {

class Em_OemBoard;

class BVPARSE_API Em_GnssProtocol {
public:
    // Kind word: 1 for the OEM protocol object, 2 for the maker's old and new ones.
    explicit Em_GnssProtocol(int kind);
    // Deletes the board driver, then empties and frees the ring.
    virtual ~Em_GnssProtocol();
    Em_GnssProtocol(const Em_GnssProtocol&) = delete;
    Em_GnssProtocol& operator=(const Em_GnssProtocol&) = delete;

    // One parse step over the ring; non-zero while the caller should step again.
    virtual int Parse_Step() = 0;
    // Creates the board driver for a main-board type.
    virtual bool Create_Board(MAINBD_OEM_TYPE type) = 0;

    // Values of the board data parser; 0 without a board driver.
    virtual double Get_Latitude();
    virtual double Get_Longitude();
    virtual double Get_Height();
    virtual double Get_Err_Vert();
    virtual double Get_Err_Horz();
    virtual double Get_Err_Rms();
    virtual double Get_Pdop();
    virtual double Get_Vdop();
    virtual double Get_Hdop();
    virtual double Get_Tdop();
    virtual double Get_Gdop();
    virtual double Get_Speed();
    virtual double Get_Course();
    // The 24-byte base information; nothing copied without a board driver.
    virtual void Get_Base_Info(BASEINFO& out);
    // The last GGA sentence (at most 2,048 bytes) and its length.
    virtual void Get_Gga_Text(unsigned char* dest, unsigned* length);
    // The solution code.
    virtual int Get_Sol_Code();
    // Age of the differential corrections; -1.0 without a board driver.
    virtual double Get_Diff_Age();

    // Command requests, forwarded to the board driver (nothing without one).
    virtual int Get_Gnss_Inite(Cmd_List& cmds);
    virtual int Get_Gnss_StartBase(Cmd_List& cmds);
    virtual int Get_Gnss_StartRover(Cmd_List& cmds);
    virtual int Get_Gnss_Reset(Cmd_List& cmds);
    virtual int Set_Gnss_ElevDgre(Cmd_List& cmds, int elevation, double unused, int n);
    virtual int Set_Gnss_PosFrq(Cmd_List& cmds, GNSS_FRQ rate);
    virtual int Send_Gnss_Obs(Cmd_List& cmds, GNSS_FRQ rate);
    virtual int Send_Gnss_Ephemeris(Cmd_List& cmds, GNSS_FRQ rate);
    virtual int Send_Gnss_EphemSat(Cmd_List& cmds, unsigned sat);
    virtual int Set_Gnss_Nmea(Cmd_List& cmds, unsigned long mask, GNSS_FRQ rate, int unused);
    virtual int Set_Gnss_SatUse(Cmd_List& cmds, unsigned sat, bool use, unsigned s);
    virtual int Get_Gnss_ElevMask(Cmd_List& cmds);
    virtual int Send_Gnss_UnlogData(Cmd_List& cmds);
    // Differential data for the receiver.
    virtual int Send_DiffDataToGnss(Cmd_List& cmds, const unsigned char* bytes, unsigned n) = 0;
    // The 84-byte pass-through character record.
    virtual void Get_PassCom_Char(PASSCOMCHAR& out);
    // Pass-through command, forwarded.
    virtual int Get_Cmd_PassCom(Cmd_List& cmds, int value);
    // Switches NMEA parsing in the board data parser.
    virtual void Set_GNSS_ParseNmea(bool on);
    // Cuts raw bytes into records of at most 512 bytes with the pause 50; returns how
    // many records were appended.
    virtual int Split_Raw_Cmds(Cmd_List& cmds, const unsigned char* bytes, unsigned n);

    // Satellite use: keeps the larger of the board's two words as the first; with flag 0 writes
    // both into *out. Returns the first word (0 without a board driver).
    uint32_t Get_Gnss_SatUse(int flag, SAT_USE* out);

    int Get_Kind() const { return m_kind; }
    Msg_Type Get_Category() const { return m_category; }
    uint32_t Get_Flags() const { return m_flags; }
    Com_Status Get_Com_Status() const { return m_comStatus; }
    void Set_Com_Status(Com_Status status) { m_comStatus = status; }
    int32_t Get_Last_Word() const { return m_lastWord; }
    void Set_Last_Word(int32_t value) { m_lastWord = value; }

    Em_RcvRing* Ring() const { return m_ring.get(); }
    Em_OemBoard* Board() const { return m_board; }
    // The board driver's type word; 0 without one.
    int Board_Type() const;

protected:
    // Replaces the board driver (deleting the current one); null removes it.
    void Replace_Board(Em_OemBoard* board);
    // Cuts bytes into records of at most 512 bytes with the given pause.
    static int Split_Bytes(Cmd_List& cmds, const unsigned char* bytes, unsigned n, unsigned pause);

    Msg_Type m_category = MSG_NEW_OTHER;
    int m_kind;
    uint32_t m_auxStatus = 0;
    int32_t m_frameId = -1;
    uint32_t m_flags = 0;
    Com_Status m_comStatus = COM_STATUS_SERIAL;
    int32_t m_lastWord = 0;

private:
    std::unique_ptr<Em_RcvRing> m_ring;
    Em_OemBoard* m_board = nullptr;
};

}  // namespace BVParse
}  // namespace Brevan2011
