// The detector settings: field checks, the dialog and the user's remembered detector.
#include "detector_settings.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QSettings>
#include <QVBoxLayout>

#include <cmath>

#include "detector_scene.h"

namespace {

// Limits that keep a typed detector sensible; the library checks the rest.
constexpr int kMaxPixels = 100000;
constexpr int kMaxBinning = 64;
constexpr double kMaxAngle = 180.0;

struct FieldInfo {
    const char* caption;
    const char* key;  // settings key
};
constexpr FieldInfo kFields[dfFieldCount] = {{"Width (pixels)", "Width"},
                                             {"Height (pixels)", "Height"},
                                             {"Binning", "Binning"},
                                             {"Pixel size (\xC2\xB5m, unbinned)", "PixelSize"},
                                             {"Sample tilt (degrees)", "SampleTilt"},
                                             {"Detector tilt (degrees)", "Tilt"},
                                             {"Azimuthal (degrees)", "Azimuthal"},
                                             {"Twist (degrees)", "Twist"},
                                             {"", "PCx"},
                                             {"", "PCy"},
                                             {"", "PCz"}};

const char* const kConventionNames[kPcConventionCount] = {
    "Bruker (PCx, PCy, PCz)", "EDAX/TSL (x*, y*, z*)", "Width-based W (x*, y*, z*)",
    "EMsoft v4 (xpc, ypc, L)", "EMsoft v5 (xpc, ypc, L)"};
const char* const kPcCaptions[kPcConventionCount][3] = {
    {"PCx", "PCy", "PCz"},
    {"x*", "y*", "z*"},
    {"x*", "y*", "z*"},
    {"xpc (unbinned px)", "ypc (unbinned px)", "L (\xC2\xB5m)"},
    {"xpc (unbinned px)", "ypc (unbinned px)", "L (\xC2\xB5m)"}};

bool readNumber(const QString& text, double& value) {
    bool ok = false;
    value = QLocale().toDouble(text.trimmed(), &ok);
    if (!ok) value = QLocale::c().toDouble(text.trimmed(), &ok);
    return ok && std::isfinite(value);
}

QString number(double v) {
    return QLocale::c().toString(v, 'g', 8);
}

}  // namespace

QString pcConventionName(int convention) {
    if (convention < 0 || convention >= kPcConventionCount) return {};
    return QString::fromUtf8(kConventionNames[convention]);
}

DetectorCheck checkDetectorFields(const QStringList& texts, int convention) {
    DetectorCheck check;
    double v[dfFieldCount] = {};
    for (int i = 0; i < dfFieldCount; ++i) {
        const QString text = i < texts.size() ? texts[i] : QString();
        if (!readNumber(text, v[i])) {
            check.errors[size_t(i)] = text.trimmed().isEmpty() ? QStringLiteral("missing")
                                                               : QStringLiteral("not a number");
            continue;
        }
        QString& error = check.errors[size_t(i)];
        switch (i) {
            case dfWidth:
            case dfHeight:
                if (v[i] != std::floor(v[i]) || v[i] < 1 || v[i] > kMaxPixels)
                    error = QStringLiteral("a whole number from 1 to %1").arg(kMaxPixels);
                break;
            case dfBinning:
                if (v[i] != std::floor(v[i]) || v[i] < 1 || v[i] > kMaxBinning)
                    error = QStringLiteral("a whole number from 1 to %1").arg(kMaxBinning);
                break;
            case dfPixelSize:
                if (!(v[i] > 0.0)) error = QStringLiteral("must be greater than 0");
                break;
            case dfSampleTilt:
            case dfTilt:
            case dfAzimuthal:
            case dfTwist:
                if (std::fabs(v[i]) > kMaxAngle)
                    error = QStringLiteral("from -%1 to %1 degrees").arg(kMaxAngle);
                break;
            default:
                break;
        }
    }
    if (convention < 0 || convention >= kPcConventionCount) {
        for (int i = dfPc1; i <= dfPc3; ++i)
            check.errors[size_t(i)] = QStringLiteral("unknown convention");
    }
    for (const QString& error : check.errors)
        if (!error.isEmpty()) return check;

    TDetector d{};
    d.Width = int(v[dfWidth]);
    d.Height = int(v[dfHeight]);
    d.Binning = int(v[dfBinning]);
    d.PixelSize = v[dfPixelSize];
    d.SampleTilt = v[dfSampleTilt];
    d.Tilt = v[dfTilt];
    d.Azimuthal = v[dfAzimuthal];
    d.Twist = v[dfTwist];
    const double pc[3] = {v[dfPc1], v[dfPc2], v[dfPc3]};
    // The library has the last word; it writes nothing when it refuses.
    const int32_t status = DetectorSetPatternCentre(&d, convention, pc);
    if (status == lxDetBadArgument) {
        check.errors[dfPc3] =
            QStringLiteral("puts the screen behind the source (distance must be > 0)");
        return check;
    }
    if (status != 0) {
        check.errors[dfPixelSize] =
            QStringLiteral("refused by the detector model (status %1)").arg(status);
        return check;
    }
    check.detector = d;
    check.ok = true;
    return check;
}

QStringList detectorFieldTexts(const TDetector& d, int convention) {
    double pc[3] = {0.0, 0.0, 0.0};
    DetectorGetPatternCentre(&d, convention, pc);
    return {QString::number(d.Width),
            QString::number(d.Height),
            QString::number(d.Binning),
            number(d.PixelSize),
            number(d.SampleTilt),
            number(d.Tilt),
            number(d.Azimuthal),
            number(d.Twist),
            number(pc[0]),
            number(pc[1]),
            number(pc[2])};
}

TDetector loadDetector(QSettings& settings, int* convention) {
    const TDetector fallback = ebsp::defaultDetector();
    settings.beginGroup(QStringLiteral("Detector"));
    QStringList texts = detectorFieldTexts(fallback, lxPcBruker);
    for (int i = 0; i < dfFieldCount; ++i)
        texts[i] = settings.value(QString::fromLatin1(kFields[i].key), texts[i]).toString();
    const int typed = settings.value(QStringLiteral("Convention"), int(lxPcBruker)).toInt();
    settings.endGroup();
    const DetectorCheck check = checkDetectorFields(texts, lxPcBruker);
    if (convention != nullptr) *convention = typed >= 0 && typed < kPcConventionCount ? typed : 0;
    return check.ok ? check.detector : fallback;
}

void saveDetector(QSettings& settings, const TDetector& detector, int convention) {
    const QStringList texts = detectorFieldTexts(detector, lxPcBruker);
    settings.beginGroup(QStringLiteral("Detector"));
    for (int i = 0; i < dfFieldCount; ++i)
        settings.setValue(QString::fromLatin1(kFields[i].key), texts[i]);
    settings.setValue(QStringLiteral("Convention"), convention);
    settings.endGroup();
}

// ---- The dialog ------------------------------------------------------------------------------

DetectorSettingsDialog::DetectorSettingsDialog(const TDetector& detector, int convention,
                                               QWidget* parent)
    : QDialog(parent) {
    setWindowTitle(QStringLiteral("Detector settings"));
    auto* column = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    column->addLayout(form);
    auto addField = [&](int i, QFormLayout* layout, QLabel* caption) {
        auto* row = new QHBoxLayout;
        m_fields[size_t(i)] = new QLineEdit(this);
        m_fields[size_t(i)]->setObjectName(QStringLiteral("field_") +
                                           QLatin1String(kFields[i].key));
        m_fields[size_t(i)]->setMinimumWidth(100);
        m_errors[size_t(i)] = new QLabel(this);
        m_errors[size_t(i)]->setStyleSheet(QStringLiteral("color: #c00000"));
        row->addWidget(m_fields[size_t(i)]);
        row->addWidget(m_errors[size_t(i)], 1);
        if (caption != nullptr)
            layout->addRow(caption, row);
        else
            layout->addRow(QString::fromUtf8(kFields[i].caption), row);
    };
    for (int i = dfWidth; i <= dfTwist; ++i)
        addField(i, form, nullptr);

    auto* pcBox = new QGroupBox(QStringLiteral("Pattern centre"), this);
    auto* pcForm = new QFormLayout(pcBox);
    m_convention = new QComboBox(pcBox);
    for (int c = 0; c < kPcConventionCount; ++c)
        m_convention->addItem(pcConventionName(c));
    pcForm->addRow(QStringLiteral("Typed as"), m_convention);
    for (int k = 0; k < 3; ++k) {
        m_pcLabels[size_t(k)] = new QLabel(pcBox);
        addField(dfPc1 + k, pcForm, m_pcLabels[size_t(k)]);
    }
    auto* grid = new QGridLayout;
    for (int c = 0; c < kPcConventionCount; ++c) {
        grid->addWidget(new QLabel(pcConventionName(c), pcBox), c, 0);
        m_readOuts[size_t(c)] = new QLabel(pcBox);
        m_readOuts[size_t(c)]->setTextInteractionFlags(Qt::TextSelectableByMouse);
        grid->addWidget(m_readOuts[size_t(c)], c, 1);
    }
    pcForm->addRow(QStringLiteral("In every convention"), grid);
    column->addWidget(pcBox);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    m_ok = buttons->button(QDialogButtonBox::Ok);
    connect(buttons, &QDialogButtonBox::accepted, this, &DetectorSettingsDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &DetectorSettingsDialog::reject);
    column->addWidget(buttons);

    const int typed = convention >= 0 && convention < kPcConventionCount ? convention : 0;
    const QStringList texts = detectorFieldTexts(detector, typed);
    for (int i = 0; i < dfFieldCount; ++i)
        m_fields[size_t(i)]->setText(texts[i]);
    m_shownConvention = typed;
    m_convention->setCurrentIndex(typed);
    for (QLineEdit* field : m_fields)
        connect(field, &QLineEdit::textChanged, this, [this] { Revalidate(); });
    connect(m_convention, &QComboBox::currentIndexChanged, this,
            [this](int c) { SetConvention(c); });
    Revalidate();
}

int DetectorSettingsDialog::Convention() const {
    return m_shownConvention;
}

DetectorCheck DetectorSettingsDialog::Check() const {
    QStringList texts;
    for (const QLineEdit* field : m_fields)
        texts << field->text();
    return checkDetectorFields(texts, m_shownConvention);
}

void DetectorSettingsDialog::SetConvention(int convention) {
    if (convention < 0 || convention >= kPcConventionCount) return;
    // The same pattern centre, shown in the new convention; invalid fields stay as typed.
    const DetectorCheck check = Check();
    m_shownConvention = convention;
    if (m_convention->currentIndex() != convention) m_convention->setCurrentIndex(convention);
    if (check.ok) {
        const QStringList texts = detectorFieldTexts(check.detector, convention);
        for (int i = dfPc1; i <= dfPc3; ++i)
            m_fields[size_t(i)]->setText(texts[i]);
    }
    Revalidate();
}

void DetectorSettingsDialog::Revalidate() {
    for (int k = 0; k < 3; ++k)
        m_pcLabels[size_t(k)]->setText(QString::fromUtf8(kPcCaptions[m_shownConvention][k]));
    const DetectorCheck check = Check();
    for (int i = 0; i < dfFieldCount; ++i)
        m_errors[size_t(i)]->setText(check.errors[size_t(i)]);
    for (int c = 0; c < kPcConventionCount; ++c) {
        double pc[3];
        if (check.ok && DetectorGetPatternCentre(&check.detector, c, pc) == 0)
            m_readOuts[size_t(c)]->setText(
                QStringLiteral("%1, %2, %3").arg(number(pc[0]), number(pc[1]), number(pc[2])));
        else
            m_readOuts[size_t(c)]->setText(QStringLiteral("-"));
    }
    m_ok->setEnabled(check.ok);
}

void DetectorSettingsDialog::accept() {
    if (!Check().ok) return;
    QDialog::accept();
}
