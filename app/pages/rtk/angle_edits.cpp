#include "angle_edits.h"

#include <QDoubleValidator>
#include <QIntValidator>
#include <QLineEdit>

#include <cmath>
#include <cstdlib>

#include "logic_context.h"

namespace Varnok {

namespace {

QDoubleValidator* decimals(double low, double high, int places, QObject* parent) {
    auto* v = new QDoubleValidator(low, high, places, parent);
    v->setNotation(QDoubleValidator::StandardNotation);
    v->setLocale(QLocale::c());
    return v;
}

bool accepted(const QLineEdit* edit) {
    return !edit->text().trimmed().isEmpty() && edit->hasAcceptableInput();
}

}  // namespace

void AngleEdits::setValidators(int limit, int places, QObject* parent) const {
    degrees->setValidator(new QIntValidator(-limit, limit, parent));
    minutes->setValidator(new QIntValidator(0, 59, parent));
    // Seconds at or above 60 pass the editor and are refused as out of range.
    seconds->setValidator(decimals(0, 60, places, parent));
}

void AngleEdits::show(double radiansValue, int places) {
    int d = 0;
    int m = 0;
    double s = 0;
    bool neg = false;
    LogicContext::radianToDms(radiansValue, d, m, s, neg);
    setTexts(neg ? QStringLiteral("-%1").arg(std::abs(d)) : QString::number(d), QString::number(m),
             QString::number(s, 'f', places));
    hasShown_ = std::isfinite(radiansValue);
    shownRadians_ = radiansValue;
    shownTexts_[0] = degrees->text();
    shownTexts_[1] = minutes->text();
    shownTexts_[2] = seconds->text();
}

bool AngleEdits::asShown() const {
    return hasShown_ && degrees->text() == shownTexts_[0] && minutes->text() == shownTexts_[1] &&
           seconds->text() == shownTexts_[2];
}

void AngleEdits::setTexts(const QString& d, const QString& m, const QString& s) const {
    degrees->setText(d);
    minutes->setText(m);
    seconds->setText(s);
}

void AngleEdits::clear() const {
    setTexts(QString(), QString(), QString());
}

void AngleEdits::setEnabled(bool on) const {
    degrees->setEnabled(on);
    minutes->setEnabled(on);
    seconds->setEnabled(on);
}

void AngleEdits::setVisible(bool on) const {
    degrees->setVisible(on);
    minutes->setVisible(on);
    seconds->setVisible(on);
}

void AngleEdits::mark(int state) const {
    for (QLineEdit* e : {degrees, minutes, seconds}) {
        LogicContext::setWidgetBrush(state, e);
    }
}

bool AngleEdits::incomplete() const {
    return !accepted(degrees) || !accepted(minutes) || !accepted(seconds);
}

bool AngleEdits::negative() const {
    return degrees->text().trimmed().startsWith(QLatin1Char('-'));
}

bool AngleEdits::secondsOutOfRange() const {
    return seconds->text().toDouble() >= 60.0;
}

double AngleEdits::magnitude() const {
    return std::abs(degrees->text().toInt()) + minutes->text().toInt() / 60.0 +
           seconds->text().toDouble() / 3600.0;
}

double AngleEdits::radians() const {
    if (asShown()) {
        return shownRadians_;
    }
    return LogicContext::dmsToRadian(std::abs(degrees->text().toInt()), minutes->text().toInt(),
                                     seconds->text().toDouble(), negative());
}

double AngleEdits::degreesValue() const {
    if (asShown()) {
        return shownRadians_ * 180.0 / M_PI;
    }
    return LogicContext::dmsToDegrees(std::abs(degrees->text().toInt()), minutes->text().toInt(),
                                      seconds->text().toDouble(), negative());
}

QValidator* heightValidator(int places, QObject* parent) {
    return decimals(-1e6, 1e6, places, parent);
}

}  // namespace Varnok
