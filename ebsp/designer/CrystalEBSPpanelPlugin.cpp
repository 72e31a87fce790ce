// Qt Designer's entry for TCrystalEBSPpanel.
#include "CrystalEBSPpanelPlugin.h"

#include <cstring>

#include <QColor>
#include <QIcon>
#include <QMetaEnum>
#include <QMetaProperty>

#include "CrystalEBSPpanel.h"

namespace {

// One property value in the form file's notation.
QString uiValue(const QMetaProperty& property, const QVariant& value) {
    if (property.isEnumType()) {
        const QMetaEnum e = property.enumerator();
        return QStringLiteral("<enum>%1::%2</enum>")
            .arg(QString::fromLatin1(e.scope()), QString::fromLatin1(e.valueToKey(value.toInt())));
    }
    switch (value.metaType().id()) {
        case QMetaType::Bool:
            return QStringLiteral("<bool>%1</bool>").arg(value.toBool() ? "true" : "false");
        case QMetaType::Int:
            return QStringLiteral("<number>%1</number>").arg(value.toInt());
        case QMetaType::Double:
            return QStringLiteral("<double>%1</double>").arg(value.toDouble(), 0, 'g', 17);
        case QMetaType::QColor: {
            const QColor c = value.value<QColor>();
            return QStringLiteral("<color><red>%1</red><green>%2</green><blue>%3</blue></color>")
                .arg(c.red())
                .arg(c.green())
                .arg(c.blue());
        }
        case QMetaType::QString:
            return QStringLiteral("<string>%1</string>").arg(value.toString().toHtmlEscaped());
        default:
            return {};
    }
}

}  // namespace

TCrystalEBSPpanelPlugin::TCrystalEBSPpanelPlugin(QObject* parent) : QObject(parent) {}

QString TCrystalEBSPpanelPlugin::name() const {
    return QStringLiteral("TCrystalEBSPpanel");
}
QString TCrystalEBSPpanelPlugin::group() const {
    return QStringLiteral("Orvane");
}
QString TCrystalEBSPpanelPlugin::toolTip() const {
    return QStringLiteral("Crystal unit cell and spherical Kikuchi map");
}
QString TCrystalEBSPpanelPlugin::whatsThis() const {
    return QStringLiteral(
        "Shows a crystal's unit cell, its spherical Kikuchi map, or both, in an orientation "
        "that a drag turns. In the designer it shows a hexagonal sample crystal.");
}
QString TCrystalEBSPpanelPlugin::includeFile() const {
    return QStringLiteral("CrystalEBSPpanel.h");
}
QIcon TCrystalEBSPpanelPlugin::icon() const {
    return QIcon();
}
bool TCrystalEBSPpanelPlugin::isContainer() const {
    return false;
}

QWidget* TCrystalEBSPpanelPlugin::createWidget(QWidget* parent) {
    return new TCrystalEBSPpanel(parent, TCrystalEBSPpanel::TCreation::Designer);
}

bool TCrystalEBSPpanelPlugin::isInitialized() const {
    return m_initialized;
}
void TCrystalEBSPpanelPlugin::initialize(QDesignerFormEditorInterface*) {
    m_initialized = true;
}

QString TCrystalEBSPpanelPlugin::domXml() const {
    // The creation values come from a control made as the program makes it.
    const TCrystalEBSPpanel fresh;
    const QMetaObject& meta = TCrystalEBSPpanel::staticMetaObject;
    QString properties;
    for (int i = meta.propertyOffset(); i < meta.propertyCount(); ++i) {
        const QMetaProperty property = meta.property(i);
        if (!property.isWritable() || !property.isStored()) continue;
        // The base panel's tag has its own default of 0, as the base records it.
        if (std::strcmp(property.name(), "Tag") == 0) continue;
        const QVariant value = property.read(&fresh);
        const QVariant storedDefault = TCrystalEBSPpanel::StoredDefault(property.name());
        if (storedDefault.isValid() && storedDefault == value) continue;
        const QString text = uiValue(property, value);
        if (text.isEmpty()) continue;
        properties += QStringLiteral("  <property name=\"%1\">%2</property>\n")
                          .arg(QString::fromLatin1(property.name()), text);
    }
    return QStringLiteral(
               "<ui language=\"c++\">\n"
               " <widget class=\"TCrystalEBSPpanel\" name=\"CrystalEBSPpanel\">\n"
               "  <property name=\"geometry\"><rect><x>0</x><y>0</y><width>240</width>"
               "<height>240</height></rect></property>\n"
               "%1"
               " </widget>\n"
               "</ui>\n")
        .arg(properties);
}
