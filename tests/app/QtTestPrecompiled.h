#pragma once

// Headers the widget and window tests nearly all include, compiled once per
// test program (target_precompile_headers) instead of once per test file:
// parsing Qt's headers is most of a test file's compile time.

#include "CMainFrame.h"
#include "OpenGLTemplateApp.h"
#include "document/OpenGLTemplateDoc.h"
#include "panel/ControlPanelForm.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QSpinBox>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <QtTest>

#include <memory>
#include <string>
#include <vector>
