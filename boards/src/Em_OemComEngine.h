// Engine board (type 3): a board that sends NovAtel binary logs and takes NovAtel text
// commands while a software GNSS engine plug-in computes the position. The rover set-up also
// starts the engine; its solutions are applied by the next parse step.
#pragma once

#include "Em_OemBoardScan.h"

namespace Brevan2011 {
namespace BVParse {

class Em_OemComEngineData;

class Em_OemComEngine : public Em_OemScanBoard {
public:
    Em_OemComEngine();

    // Rover set-up: the board's commands, then the engine starts (or restarts).
    int Get_Gnss_StartRover(Cmd_List& cmds) override;

    Em_OemComEngineData* Engine_Data() const;

protected:
    // Decodes every complete binary log and NMEA sentence in the input buffer, keeps an
    // incomplete one at the front and skips anything else up to the next lead byte; then
    // applies a solution the engine reported. Leaves the OR of the update bits; 1 when any
    // message or solution was applied.
    int Scan() override;
};

}  // namespace BVParse
}  // namespace Brevan2011
