// The detector settings: the field check behind the dialog (sizes, binning, pixel size,
// angles and the pattern centre in any of the five conventions), the dialog itself, and
// the user's remembered detector.
#pragma once

#include <QDialog>
#include <QString>
#include <QStringList>

#include <array>

#include "lattixDetector.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSettings;

// Fields in the order the dialog shows them; the last three are the pattern centre in the
// chosen convention.
enum DetectorField {
    dfWidth,
    dfHeight,
    dfBinning,
    dfPixelSize,
    dfSampleTilt,
    dfTilt,
    dfAzimuthal,
    dfTwist,
    dfPc1,
    dfPc2,
    dfPc3,
    dfFieldCount
};
inline constexpr int kPcConventionCount = 5;

// The conventions' names as the dialog lists them (index = lxPc* value).
QString pcConventionName(int convention);

struct DetectorCheck {
    TDetector detector{};                      // complete when ok
    std::array<QString, dfFieldCount> errors;  // the reason for each refused field, else empty
    bool ok = false;
};

// Reads the texts (numbers in the given locale or with a decimal point) and checks every
// field; the detector, with its PC converted to Bruker form through the library, only
// when all of them pass.
DetectorCheck checkDetectorFields(const QStringList& texts, int convention);

// The fields' texts for a detector, its PC shown in the convention.
QStringList detectorFieldTexts(const TDetector& detector, int convention);

// The user's detector (QSettings in the user scope); the default one when nothing valid is
// stored.  saveDetector stores it with the convention last used for typing the PC.
TDetector loadDetector(QSettings& settings, int* convention = nullptr);
void saveDetector(QSettings& settings, const TDetector& detector, int convention);

class DetectorSettingsDialog : public QDialog {
    Q_OBJECT
  public:
    DetectorSettingsDialog(const TDetector& detector, int convention, QWidget* parent = nullptr);

    // What the fields hold now (valid only when Check().ok).
    DetectorCheck Check() const;
    int Convention() const;
    void SetConvention(int convention);  // shows the PC, when the fields are valid, converted

    QLineEdit* Field(int field) const { return m_fields[size_t(field)]; }
    QLabel* Error(int field) const { return m_errors[size_t(field)]; }
    // The read-only PC of each convention, "x, y, z".
    QLabel* PcReadOut(int convention) const { return m_readOuts[size_t(convention)]; }
    QPushButton* OkButton() const { return m_ok; }

    void accept() override;  // refused while a field is invalid

  private:
    void Revalidate();

    std::array<QLineEdit*, dfFieldCount> m_fields{};
    std::array<QLabel*, dfFieldCount> m_errors{};
    std::array<QLabel*, kPcConventionCount> m_readOuts{};
    std::array<QLabel*, 3> m_pcLabels{};
    QComboBox* m_convention = nullptr;
    QPushButton* m_ok = nullptr;
    int m_shownConvention = lxPcBruker;
};
