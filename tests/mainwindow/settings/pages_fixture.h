#pragma once
// A page set shown on its own over a model of its indicator, for the tests of
// either program's settings pages.
#include <QComboBox>
#include <QLineEdit>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <gtest/gtest.h>

#include "tests/support/scripted_prompter.h"

template <class Pages, class Model>
class TPagesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    pages.SetModel(&model);
    pages.resize(1200, 700);
    pages.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&pages));
  }
  template <class T>
  T* Find(const char* name) {
    T* w = pages.template findChild<T*>(name);
    EXPECT_NE(w, nullptr) << name;
    return w;
  }
  // Picks an entry as the user does, so that the box's handler runs.
  void Choose(const char* box, int index) {
    Find<QComboBox>(box)->setCurrentIndex(index);
    emit Find<QComboBox>(box)->activated(index);
  }
  // Focus the edit, give it a text, then move the focus on within the window.
  void TypeAndLeave(const char* name, const QString& text) {
    auto* edit = Find<QLineEdit>(name);
    edit->setFocus();
    ASSERT_TRUE(QTest::qWaitFor([edit] { return edit->hasFocus(); }));
    edit->setText(text);
    Find<QLineEdit>("EdtID")->setFocus();
    QTest::qWait(0);
  }
  // Through the window at the tab's place, as the pointer does: a bar laid out too
  // small for its tabs does not get the click.
  void ClickTab(QTabBar* tabs, int index) {
    QTest::mouseClick(pages.windowHandle(), Qt::LeftButton, {}, tabs->mapTo(&pages, tabs->tabRect(index).center()));
    ASSERT_EQ(tabs->currentIndex(), index);
  }
  void ClickSubPage(const char* name) {
    auto* subPages = Find<QTabWidget>("PgCSettings");
    ClickTab(subPages->tabBar(), subPages->indexOf(Find<QWidget>(name)));
  }
  // Clicks into the edit, selects what it holds and types the text over it.
  void TypeOver(const char* name, const char* text) {
    auto* edit = Find<QLineEdit>(name);
    QTest::mouseClick(edit, Qt::LeftButton);
    ASSERT_TRUE(QTest::qWaitFor([edit] { return edit->hasFocus(); }));
    edit->selectAll();
    QTest::keyClicks(edit, text);
  }
  Model model;
  Pages pages;
  TScriptedPrompter prompter;
};
