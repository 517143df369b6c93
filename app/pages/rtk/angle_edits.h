#pragma once

#include <QString>

class QLineEdit;
class QValidator;
class QObject;

namespace Varnok {

// An angle edited as degrees, minutes and seconds in three line edits. The sign lives on the
// degree text, so an angle under 1 degree shows as "-0" and keeps its hemisphere.
class AngleEdits {
public:
    AngleEdits() = default;
    AngleEdits(QLineEdit* d, QLineEdit* m, QLineEdit* s) : degrees(d), minutes(m), seconds(s) {}

    QLineEdit* degrees = nullptr;
    QLineEdit* minutes = nullptr;
    QLineEdit* seconds = nullptr;

    // limit: 90 for a latitude, 180 for a longitude; seconds below 60 with that many decimals.
    void setValidators(int limit, int decimals, QObject* parent) const;
    // Shows a reported angle; while its three texts stay as shown, radians() and degreesValue()
    // give it back exactly, not as the rounded seconds.
    void show(double radians, int decimals);
    void setTexts(const QString& d, const QString& m, const QString& s) const;
    void clear() const;
    void setEnabled(bool on) const;
    void setVisible(bool on) const;
    void mark(int state) const;
    // Any of the three empty or not accepted by its validator.
    bool incomplete() const;
    bool negative() const;
    // Seconds of 60 or more.
    bool secondsOutOfRange() const;
    // |degrees| + minutes / 60 + seconds / 3600.
    double magnitude() const;
    double radians() const;
    double degreesValue() const;

private:
    bool asShown() const;

    bool hasShown_ = false;
    double shownRadians_ = 0;
    QString shownTexts_[3];
};

// A height in metres: any decimal with up to `decimals` places.
QValidator* heightValidator(int decimals, QObject* parent);

}  // namespace Varnok
