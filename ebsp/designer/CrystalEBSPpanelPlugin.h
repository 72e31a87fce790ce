// Qt Designer's entry for TCrystalEBSPpanel: the widget box item and its factory.
#pragma once

#include <QObject>
#include <QtUiPlugin/QDesignerCustomWidgetInterface>

class TCrystalEBSPpanelPlugin : public QObject, public QDesignerCustomWidgetInterface {
    Q_OBJECT
    Q_PLUGIN_METADATA(IID QDesignerCustomWidgetInterface_iid)
    Q_INTERFACES(QDesignerCustomWidgetInterface)

  public:
    explicit TCrystalEBSPpanelPlugin(QObject* parent = nullptr);

    QString name() const override;
    QString group() const override;
    QString toolTip() const override;
    QString whatsThis() const override;
    QString includeFile() const override;
    QIcon icon() const override;
    bool isContainer() const override;
    // The control in designer mode: it shows the sample crystal, cell and bands.
    QWidget* createWidget(QWidget* parent) override;
    bool isInitialized() const override;
    void initialize(QDesignerFormEditorInterface* core) override;
    // The widget box entry; it lists every published property that a form records even
    // when untouched (no declared default, or a creation value other than the default).
    QString domXml() const override;

  private:
    bool m_initialized = false;
};
