#pragma once

#include <QString>

#include <vector>

#include "widget.h"

namespace Varnok {

// Which receivers a page row is built for.
enum class PageFamily {
    Start,        // built with the frame
    NewProtocol,  // device type 1
    OldProtocol,  // every other device type
    Type5,        // device type 5 only
    OldRadioV2,   // other types but 5, radio channel table of the second kind
    OldRadioV1,   // other types but 5, the first kind
};

struct PageRow {
    const char* name;
    PageFamily family;
    Widget* (*make)(QWidget* parent);
    // The page's command signal goes to the frame.
    bool commands;
};

// Stands in for a page that later work builds: a Widget named for its class, with the
// command signal every page may emit.
class PlaceholderPage : public Widget {
    Q_OBJECT

public:
    PlaceholderPage(const QString& className, QWidget* parent);

signals:
    void command(const QString& page);
};

class PageRegistry {
public:
    // The rows built with the frame, in order.
    static std::vector<const PageRow*> startRows();
    // The rows built when a receiver of that type connects, in order.
    static std::vector<const PageRow*> deviceRows(int deviceType, bool radioChannelV2);
    // Gives the row of that name and family another constructor; call before the frame is
    // made. False when no such row exists.
    static bool replace(const char* name, PageFamily family, Widget* (*make)(QWidget* parent));
};

}  // namespace Varnok
