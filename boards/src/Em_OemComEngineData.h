// Data parser of the engine board (type 3): the NovAtel logs the board sends (position, DOP,
// reference station, version) plus the engine's own satellite list (911), compact
// observations (912) and auxiliary record (913); raw ephemerides, observations and auxiliary
// records go on to the engine, whose solutions come back through the sink.
#pragma once

#include <cstdint>
#include <memory>

#include "Em_GnssEngine.h"
#include "Em_GnssEngineLoader.h"
#include "Em_OemComEngineSink.h"
#include "Em_OemNovatelData.h"

namespace Brevan2011 {
namespace BVParse {

// All three set when a solution of the engine was applied.
constexpr uint32_t ENGINE_FLAG_SOLUTION = 0xB0000000u;

class Em_OemComEngineData : public Em_OemNovatelData {
public:
    static constexpr int kSolutionStore = 296;

    Em_OemComEngineData();
    ~Em_OemComEngineData() override;

    // One whole log; 0 for a null frame, id 0 or length 0, else 1.
    int Parse_Message(const unsigned char* frame, int id, int length) override;

    // Loads and starts the engine (the rover set-up runs this); a running engine is restarted
    // instead. 1 when the engine was started, else 0.
    int Start_Engine();
    // Applies a solution the engine reported since the last call; true when there was one
    // (its bits are then ORed into the update mask).
    bool Apply_Pending_Solution();
    // Applies one solution now (the parser lock must be held).
    void Apply_Solution(const Engine_Solution& s);

    IGnssEngine* Engine() const { return m_engine; }
    Em_OemComEngineSink& Sink() { return *m_sink; }

    // Records built for the engine, kept whether or not an engine runs.
    Engine_Ephemeris Last_Ephemeris{};
    Engine_Observation Last_Observation{};
    Engine_Auxiliary Last_Auxiliary{};
    unsigned char Solution_Store[kSolutionStore] = {};
    unsigned char Ref_Raw[41] = {};

private:
    void Raw_Ephemeris(const unsigned char* frame, const unsigned char* body, int bodyLen);
    void Satellite_List(const unsigned char* body, int bodyLen);
    void Compact_Observations(const unsigned char* frame, const unsigned char* body, int bodyLen);
    void Auxiliary(const unsigned char* body, int bodyLen);
    void Stop_Engine();

    std::unique_ptr<Em_OemComEngineSink> m_sink;
    Em_GnssEngineLoader m_loader;
    IGnssEngine* m_engine = nullptr;
};

}  // namespace BVParse
}  // namespace Brevan2011
