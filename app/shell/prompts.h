#pragma once

#include <QMessageBox>
#include <QString>

class QDialog;
class QWidget;

namespace Varnok {

// Every message box and every modal dialog of the program runs through here, so tests can
// record what was asked and script the answer.
class Prompts {
public:
    enum Kind { Warning, Information, Critical, Question };

    virtual ~Prompts() = default;

    // Shows a message box; returns the button pressed.
    virtual QMessageBox::StandardButton message(QWidget* parent, Kind kind, const QString& title,
                                                const QString& text,
                                                QMessageBox::StandardButtons buttons);
    // Runs the dialog modally; returns its result code.
    virtual int exec(QDialog* dialog);

    static Prompts* instance();
    // Replaces the prompts (null puts the real ones back); the caller keeps ownership.
    static void setInstance(Prompts* prompts);
};

// One warning with an OK button.
void showWarning(QWidget* parent, const QString& title, const QString& text);
int execDialog(QDialog* dialog);

}  // namespace Varnok
