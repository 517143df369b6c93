#pragma once

#include <QObject>
#include <QString>

#include <cstdint>
#include <string>
#include <vector>

class QRegularExpressionValidator;
class QWidget;

namespace Varnok {

// Shared helpers of the pages and stores: input patterns, fixed words, editor colouring,
// the paths of the files under configs/, angle conversion and the program's log.
class LogicContext : public QObject {
    Q_OBJECT

public:
    static LogicContext* instance();

    void connectWorkingStatus();
    // Cuts the working-status connection, then deletes the device manager and the hub.
    void shutdown();

    // Pattern text of an input kind (0-7); "" for any other kind. Kind 3 ignores the lengths.
    static QString createValidator(int kind, int minimum, int maximum);
    // A validator over that pattern; it accepts only a whole-text match (for an unknown kind,
    // only the empty text).
    static QRegularExpressionValidator* validator(int kind, int minimum, int maximum,
                                                  QObject* parent = nullptr);
    // Four dot-separated numbers 0-255 of one to three digits.
    static bool createIpValidator(const QString& text);
    static bool isValidIpAddress(const QString& text) { return createIpValidator(text); }

    // One of the 31 fixed words, translated in the context "Translate"; "" outside 0-30.
    static QString translate(int index);
    // 1 red, 2 green, anything else the class palette.
    static void setWidgetBrush(int state, QWidget* widget);
    static bool isLandscape();

    static QString applicationDir();
    static std::string btBindingsPath();
    static std::string antennaTypePath();
    static std::string connectMethodsPath();
    static std::string connectionParamsPath();
    static std::string radioChannelsPath();
    static std::string radioConfigPath();
    static std::string netServerPath();
    static std::string configPath();
    static std::string satelBaudRatePath();
    static std::string validCheckPath();
    static std::string connectBaudsPath();
    static std::string rtkSettingsPath();
    static std::string staticStationsPath();
    static std::string authorityPath();

    // Degrees, minutes and seconds of |angle| (seconds rounded to 1e-4); degrees carry the
    // sign when they are not 0. negative tells the sign whatever the degrees.
    static void radianToDms(double angle, int& degrees, int& minutes, double& seconds);
    static void radianToDms(double angle, int& degrees, int& minutes, double& seconds,
                            bool& negative);
    // Negative when degrees < 0 or negative is set.
    static double dmsToRadian(int degrees, int minutes, double seconds, bool negative = false);
    static double dmsToDegrees(int degrees, int minutes, double seconds, bool negative = false);
    // "d:mm:ss.sssss" of radians (0), decimal degrees (1) or arc-seconds (2), the sign once in
    // front; "" for any other unit or a value too large to show.
    static QString formatDms(double value, int unit);

    // Appends one line to "log.txt" of the log directory; the text is never a format.
    static void log(const QString& text);

    // ---- Radio channels: the default-channel check and the grid and band helpers.
    // Ends a channel check once every expected answer is in; writes the default channels when
    // the receiver's table is unset (one entry, or all entries equal).
    void applyDefaultChannels();
    // The spacing code to send with channel frequencies (0 12.5, 1 20, 2 25 kHz).
    static int channelSpaceCode();
    static bool isOffChannelGrid(double mhz, double base, double step);
    // -1.0 when no whole step fits the range: callers keep their value then.
    static double snapToChannel(double mhz, double low, double high, double step);
    static int subBandOfRadioType(int type);
    static int bandOfSubBand(int subBand);
    static int subBandOfFrequency(double low, double high, double mhz, int type);
    // Fills single for a one-band radio, or high, middle and low for a radio spanning the
    // three; the lists not filled are left as they are.
    static void loadDefaultChannels(std::vector<double>& single, std::vector<double>& high,
                                    std::vector<double>& middle, std::vector<double>& low);
    static bool isExtendedRadioType();
    static bool isChannelSpaceSettable();
    void connectRadioSignals(QObject* receiver, bool connect);
    // Names the pages call.
    static void defaultChannelTables(std::vector<double>& single, std::vector<double>& high,
                                     std::vector<double>& middle, std::vector<double>& low) {
        loadDefaultChannels(single, high, middle, low);
    }
    static bool isOffGrid(double mhz, double base, double step) {
        return isOffChannelGrid(mhz, base, step);
    }
    static double snapToGrid(double mhz, double low, double high, double step) {
        return snapToChannel(mhz, low, high, step);
    }
    static bool radioCanTransmit() { return isExtendedRadioType(); }
    static bool radioHasChannelSpacing() { return isChannelSpaceSettable(); }
    static int radioTypeGroup(int type) { return subBandOfRadioType(type); }
    static int bandOfGroup(int group) { return bandOfSubBand(group); }
    static int typeBandOfFrequency(double low, double high, double mhz, int type) {
        return subBandOfFrequency(low, high, mhz, type);
    }

public slots:
    void onWorkingStatus(int status);
    void onRadioChannelList();
    void onRadioSpace();

private:
    LogicContext() = default;

    // Bits: 1 the channel frequency list, 2 the channel spacing.
    std::uint32_t receivedAnswers_ = 0;
    std::uint32_t expectedAnswers_ = 0;
};

}  // namespace Varnok
