// Panels: the in-window panels of the main window, each a group box (or the
// exit frames) over the client area, hidden until its command shows it. A
// panel builds and owns its controls, named as the design names them; the
// window connects their buttons to its handlers.
#pragma once

#include <QFrame>
#include <QGroupBox>
#include <array>

#include "documents/Preferences.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QProgressBar;
class QPushButton;
class QSlider;
struct Tip;

// The three data labels right of the view stand one above the other, each
// this high; the gauge panel sits below them.
inline constexpr int DataLabelHeight = 36;

// Tools > Preferences (PrefBox): flow-line density, grid type, show grid and
// the data folder, for the next start.
class PreferencesPanel : public QGroupBox {
 public:
  explicit PreferencesPanel(QWidget* client);
  void Show(const PreferenceControls& c);  // the pending values onto the controls
  void Read(PreferenceControls& c) const;  // the controls into the pending values
  QListWidget* ListBox4 = nullptr;         // flow lines: High, Normal, Low
  QListWidget* ListBox3 = nullptr;         // grid type: Lines, Dots
  QCheckBox* CheckBox1 = nullptr;          // show grid
  QLineEdit* WorkingDir = nullptr;
  QPushButton* Browse = nullptr;
  QPushButton* Button2 = nullptr;  // OK
  QPushButton* Button3 = nullptr;  // Cancel
};

// The start-up tip (GroupBox1).
class TipPanel : public QGroupBox {
 public:
  explicit TipPanel(QWidget* client);
  void ShowTip(const Tip& tip);
  QLabel* TipMemo = nullptr;
  QCheckBox* CheckBox2 = nullptr;  // "Don't show start up tips in future"
  QPushButton* Button8 = nullptr;  // Next tip
  QPushButton* tipclose = nullptr;
};

// Help > About, closed by its own button.
class AboutPanel : public QGroupBox {
 public:
  explicit AboutPanel(QWidget* client);
};

// Tools > Uninstall: how this copy is removed, closed by its own button.
class UninstallPanel : public QGroupBox {
 public:
  explicit UninstallPanel(QWidget* client);
};

// Panel6 and Panel7: the picture shown at the exit, a web button and Exit,
// with the "Saving settings" bar that runs before the program ends.
class ExitPanel : public QFrame {
 public:
  ExitPanel(QWidget* client, int which, const char* webCaption);
  void RunSavingBar();
  QPushButton* ExitButton = nullptr;  // Button15, Button17
  QPushButton* WebButton = nullptr;   // Button14, Button16
  QLabel* SavingLabel = nullptr;
  QProgressBar* ExitProgress = nullptr;  // ProgressBar5, ProgressBar6
};

// Title > Add Title (TitleFrame).
class TitlePanel : public QGroupBox {
 public:
  explicit TitlePanel(QWidget* client);
  QLineEdit* TitleText = nullptr;
  QPushButton* TitleOK = nullptr;
  QPushButton* TitleCancel = nullptr;
};

// Analyse > Set Percentage Error Level (SetErr).
class ErrorLevelPanel : public QGroupBox {
 public:
  explicit ErrorLevelPanel(QWidget* client);
  QLineEdit* CGErrVal = nullptr;
  QPushButton* CGErrSet = nullptr;
  QPushButton* ErrorLevelCancel = nullptr;
};

// The pressure map's colour and scale (Bdisplay).
class PressureDisplayPanel : public QGroupBox {
 public:
  explicit PressureDisplayPanel(QWidget* client);
  QListWidget* Bcolor = nullptr;  // Color, Mono
  QListWidget* Linlog = nullptr;  // Lin, Log
};

// The pressure map's filter level (BFilter).
class FilterPanel : public QGroupBox {
 public:
  explicit FilterPanel(QWidget* client);
  QSlider* Bfilter_level = nullptr;
  QPushButton* Bset = nullptr;
};

// Edit > Add Aerofoil's angle (Aerosize).
class AerosizePanel : public QGroupBox {
 public:
  explicit AerosizePanel(QWidget* client);
  QSlider* AeroRot = nullptr;
  QLabel* Aeroang = nullptr;
  QPushButton* Button1 = nullptr;  // OK
  QPushButton* Button4 = nullptr;  // Cancel
};
