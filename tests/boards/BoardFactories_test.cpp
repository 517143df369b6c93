// The protocol objects create the STX/ETX, Hemisphere and engine drivers for their board
// types, with the settings each protocol gives them.
#include <gtest/gtest.h>

#include "BVParse/Em_Gnss.h"
#include "BVParse/Em_GnssProtocol.h"
#include "Em_OemComEngine.h"
#include "Em_OemHemisphere.h"
#include "Em_OemHemisphere2.h"
#include "Em_OemStxEtx.h"
#include "Em_OemStxEtxData.h"

namespace Brevan2011 {
namespace BVParse {
namespace {

Em_OemBoard* Board_Of(Em_Gnss& g) {
    return g.Get_Protocol() != nullptr ? g.Get_Protocol()->Board() : nullptr;
}

TEST(BoardFactories, EachProtocolCreatesItsDrivers) {
    struct Row {
        GNSS_MANUFACTURER maker;
        MAINBD_OEM_TYPE type;
        int port;
    };
    const Row rows[] = {
        {GNSS_MNFCTR_OEM, MAINBD_STXETX, 0},       {GNSS_MNFCTR_OEM, MAINBD_HEMISPHERE, 0},
        {GNSS_MNFCTR_VELTA, MAINBD_STXETX, 1},     {GNSS_MNFCTR_VELTA, MAINBD_COMENGINE, 1},
        {GNSS_MNFCTR_VELTA, MAINBD_HEMISPHERE, 1}, {GNSS_MNFCTR_VELTA, MAINBD_HEMISPHERE2, 1},
    };
    for (const Row& r : rows) {
        Em_Gnss g(r.maker, r.type);
        Em_OemBoard* b = Board_Of(g);
        ASSERT_NE(b, nullptr) << r.maker << "/" << r.type;
        EXPECT_EQ(b->Board_Type(), r.type);
        EXPECT_EQ(b->Cmd()->Out_Port, r.port);
        switch (r.type) {
            case MAINBD_STXETX:
                EXPECT_NE(dynamic_cast<Em_OemStxEtx*>(b), nullptr);
                // Detailed satellite records: on for the OEM protocol, off for the old one.
                EXPECT_EQ(static_cast<Em_OemStxEtxData*>(b->Data())->Detailed_Sats(),
                          r.maker == GNSS_MNFCTR_OEM);
                break;
            case MAINBD_COMENGINE:
                EXPECT_NE(dynamic_cast<Em_OemComEngine*>(b), nullptr);
                break;
            case MAINBD_HEMISPHERE:
                EXPECT_NE(dynamic_cast<Em_OemHemisphere*>(b), nullptr);
                EXPECT_EQ(b->Data()->Sat_Switch_Gps, 1);
                break;
            case MAINBD_HEMISPHERE2:
                EXPECT_NE(dynamic_cast<Em_OemHemisphere2*>(b), nullptr);
                break;
            default:
                break;
        }
    }
}

}  // namespace
}  // namespace BVParse
}  // namespace Brevan2011
