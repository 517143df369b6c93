#include "prompts.h"

#include <QDialog>

namespace Varnok {

namespace {
Prompts g_realPrompts;
Prompts* g_prompts = nullptr;

QMessageBox::Icon iconOf(Prompts::Kind kind) {
    switch (kind) {
        case Prompts::Warning:
            return QMessageBox::Warning;
        case Prompts::Information:
            return QMessageBox::Information;
        case Prompts::Critical:
            return QMessageBox::Critical;
        case Prompts::Question:
            return QMessageBox::Question;
    }
    return QMessageBox::NoIcon;
}
}  // namespace

QMessageBox::StandardButton Prompts::message(QWidget* parent, Kind kind, const QString& title,
                                             const QString& text,
                                             QMessageBox::StandardButtons buttons) {
    QMessageBox box(iconOf(kind), title, text, buttons, parent);
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

int Prompts::exec(QDialog* dialog) {
    return dialog ? dialog->exec() : QDialog::Rejected;
}

Prompts* Prompts::instance() {
    return g_prompts ? g_prompts : &g_realPrompts;
}

void Prompts::setInstance(Prompts* prompts) {
    g_prompts = prompts;
}

void showWarning(QWidget* parent, const QString& title, const QString& text) {
    Prompts::instance()->message(parent, Prompts::Warning, title, text, QMessageBox::Ok);
}

int execDialog(QDialog* dialog) {
    return Prompts::instance()->exec(dialog);
}

}  // namespace Varnok
