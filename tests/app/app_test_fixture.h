// The main window on screen with fake platform services, in the C locale.
#pragma once

#include <gtest/gtest.h>

#include <QListWidget>
#include <QLocale>
#include <QTest>

#include <memory>

#include "Unit1.h"
#include "fake_platform_services.h"

inline const QString kMapHint =
    QStringLiteral("Spherical Kikuchi Map. Click to rotate. Right mouse for menu");

class AppWindowFixture : public ::testing::Test {
  protected:
    void SetUp() override {
        QLocale::setDefault(QLocale::c());
        form = std::make_unique<TForm1>(&services);
        form->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    }
    void TearDown() override { form.reset(); }

    // Row of a phase in the list, by name; -1 when it is not listed.
    int rowOf(const QString& name) const {
        const QList<QListWidgetItem*> items = form->ListBox1->findItems(name, Qt::MatchExactly);
        return items.size() == 1 ? form->ListBox1->row(items.front()) : -1;
    }

    FakePlatformServices services;
    std::unique_ptr<TForm1> form;
};
