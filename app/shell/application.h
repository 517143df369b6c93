#pragma once

#include <QApplication>
#include <QList>
#include <QString>
#include <QStringList>

class QTranslator;

namespace Varnok {

class FatherWidget;

// The program's application object: translations, icon and font, the exit flow with its
// timer, and the end when the receiver closes the link.
class Application : public QApplication {
    Q_OBJECT

public:
    Application(int& argc, char** argv);
    ~Application() override;

    // Icon, font, translations and the receiver-closed connection.
    void init();
    // Ends the program when the hub reports that the receiver closed the session.
    void connectDeviceClosed();
    // Installs "<dir>/translates/qt_<locale>.qm", then "varnok_<locale>.qm", each when it
    // loads; returns the files installed, in order.
    QStringList installTranslators(const QString& dir, const QString& locale);

    void removeTranslators();

    static Application* current();
    // The exit flow of the menu's Exit and of Back on the menu.
    static void exitApplication(FatherWidget* frame);

    bool notify(QObject* receiver, QEvent* event) override;

    // For tests: the length asked for the last exit timer, and how often the program ended.
    int lastExitTimerMs() const { return lastExitTimerMs_; }
    bool exitTimerRunning() const { return exitTimer_ > 0; }
    int endCount() const { return endCount_; }

public slots:
    void onDeviceClosed();

protected:
    void timerEvent(QTimerEvent* event) override;

private:
    void startExitTimer(int ms);
    void killExitTimer();
    void end();

    QList<QTranslator*> translators_;
    int exitTimer_ = 0;
    int lastExitTimerMs_ = 0;
    int endCount_ = 0;
};

}  // namespace Varnok
