// The Designer plugin as Designer loads it: QPluginLoader, the widget box entry, a control
// made by createWidget in designer mode, and the properties a form records untouched.
#include <map>
#include <memory>

#include <QColor>
#include <QImage>
#include <QMetaProperty>
#include <QPluginLoader>
#include <QWidget>
#include <QXmlStreamReader>
#include <QtUiPlugin/QDesignerCustomWidgetInterface>

#include <gtest/gtest.h>

namespace {

QDesignerCustomWidgetInterface* loadPlugin() {
    static QPluginLoader loader(QStringLiteral(EBSP_DESIGNER_PLUGIN_PATH));
    QObject* instance = loader.instance();
    EXPECT_NE(instance, nullptr) << loader.errorString().toStdString();
    return qobject_cast<QDesignerCustomWidgetInterface*>(instance);
}

int countNonWhite(const QImage& image) {
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if ((image.pixel(x, y) & 0xFFFFFFu) != 0xFFFFFFu) ++count;
    return count;
}

}  // namespace

TEST(DesignerPlugin, LoadsAndDescribesTheControl) {
    QDesignerCustomWidgetInterface* plugin = loadPlugin();
    ASSERT_NE(plugin, nullptr);
    EXPECT_EQ(plugin->name(), QStringLiteral("TCrystalEBSPpanel"));
    EXPECT_EQ(plugin->includeFile(), QStringLiteral("CrystalEBSPpanel.h"));
    EXPECT_FALSE(plugin->isContainer());
    EXPECT_FALSE(plugin->group().isEmpty());
    EXPECT_FALSE(plugin->isInitialized());
    plugin->initialize(nullptr);
    EXPECT_TRUE(plugin->isInitialized());
}

TEST(DesignerPlugin, CreatesTheControlInDesignerMode) {
    QDesignerCustomWidgetInterface* plugin = loadPlugin();
    ASSERT_NE(plugin, nullptr);
    QWidget parent;
    QWidget* widget = plugin->createWidget(&parent);
    ASSERT_NE(widget, nullptr);
    EXPECT_EQ(widget->parent(), &parent);
    EXPECT_STREQ(widget->metaObject()->className(), "TCrystalEBSPpanel");
    // Designer's property editor reads the published properties through the meta-object.
    EXPECT_EQ(widget->property("KikuchiBandGreyMin"), QVariant(200));
    EXPECT_EQ(widget->property("MouseRotMaxIndices"), QVariant(QStringLiteral("666")));
    EXPECT_EQ(widget->property("BackgroundColour"), QVariant(QColor(255, 255, 255)));
    // Designer mode: the count is stored although no handler supplies reflectors.
    EXPECT_GT(widget->property("ReflectorCount").toInt(), 0);
    EXPECT_TRUE(widget->setProperty("ReflectorCount", 9));
    EXPECT_EQ(widget->property("ReflectorCount"), QVariant(9));
    // The sample crystal shows: the cell at once, and the map when switched on.
    widget->resize(150, 150);
    const int cellOnly = countNonWhite(widget->grab().toImage());
    EXPECT_GT(cellOnly, 1000);
    EXPECT_TRUE(widget->setProperty("ShowEBSP", true));
    EXPECT_GT(countNonWhite(widget->grab().toImage()), cellOnly);
}

TEST(DesignerPlugin, WidgetBoxEntryRecordsPropertiesWithoutMatchingDefaults) {
    QDesignerCustomWidgetInterface* plugin = loadPlugin();
    ASSERT_NE(plugin, nullptr);
    QXmlStreamReader xml(plugin->domXml());
    QString widgetClass;
    std::map<QString, QString> recorded;  // property name -> first value text
    QString current;
    while (!xml.atEnd()) {
        xml.readNext();
        if (!xml.isStartElement()) continue;
        if (xml.name() == QLatin1String("widget"))
            widgetClass = xml.attributes().value("class").toString();
        else if (xml.name() == QLatin1String("property"))
            current = xml.attributes().value("name").toString();
        else if (!current.isEmpty() && xml.name() != QLatin1String("color")) {
            recorded[current] = xml.readElementText(QXmlStreamReader::IncludeChildElements);
            current.clear();
        }
    }
    ASSERT_FALSE(xml.hasError()) << xml.errorString().toStdString();
    EXPECT_EQ(widgetClass, QStringLiteral("TCrystalEBSPpanel"));
    recorded.erase(QStringLiteral("geometry"));
    // Without a declared default, or created against it: a form always records these.
    const std::map<QString, QString> expected = {
        {"RepaintLocked", "false"},
        {"MouseRotWireFrame", "false"},
        {"kV", "20"},
        {"KikuchiBandStyle", "TCrystalEBSPpanel::kbSolid"},
        {"KikuchiBandGreyMin", "200"},
        {"KikuchiBandGreyMax", "30"},
        {"LineColour", "0"},  // the red component comes first
        {"FaceColour", "128"},
        {"MouseRotMaxIndices", "666"},
        {"ShowCopyright", "false"},
    };
    EXPECT_EQ(recorded, expected);
}
