#pragma once

#include <QDialog>
#include <QString>

#include "seged/beall.h"
#include "settings/autostart_choice.h"

#include <cstdint>
#include <functional>

class QButtonGroup;
class QCheckBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QSlider;
class QToolButton;

// What the dialog needs from the running program.
struct TBeallitEnvironment {
    // The running program file's full path: the autostart entry names it.
    QString ProgramFile;
    TAutostartAccess Autostart = ProgramAutostart();
    // Shows an error met while the dialog is made (the standard error report).
    std::function<void(const QString& message)> ReportError;
};

// "Beállítások": the defaults of new notes, the transparency of the note
// windows and the start at log-on. It changes the defaults record and the
// autostart entry only when applied ("Alkalmaz", "OK"); it never writes
// the settings file.
class Tfrm_Beallit : public QDialog {
    Q_OBJECT

public:
    Tfrm_Beallit(TBeall& beall, TBeallitEnvironment environment, QWidget* parent = nullptr);

    QGroupBox* GroupBox1 = nullptr;  // "Szöveg"
    QLabel* Panel1 = nullptr;  // the sample
    QToolButton* SpeedButton1 = nullptr;
    QToolButton* SpeedButton2 = nullptr;
    QToolButton* SpeedButton3 = nullptr;
    QToolButton* SpeedButton4 = nullptr;
    QToolButton* SpeedButton5 = nullptr;
    QButtonGroup* AlignmentButtons = nullptr;
    QGroupBox* GroupBox2 = nullptr;  // "Megjelenés"
    QCheckBox* CheckBox2 = nullptr;
    QCheckBox* CheckBox3 = nullptr;
    QCheckBox* CheckBox4 = nullptr;
    QSlider* TrackBar1 = nullptr;
    QLabel* Label1 = nullptr;  // "Átlátszó"
    QLabel* Label2 = nullptr;  // "Normál"
    QGroupBox* GroupBox3 = nullptr;  // "Indítás"
    QCheckBox* CheckBox1 = nullptr;
    QPushButton* Button3 = nullptr;  // "Alkalmaz"
    QPushButton* Button1 = nullptr;  // "OK"
    QPushButton* Button2 = nullptr;  // "Mégsem"

    // What the sample shows; the defaults take it when applied.
    const TFontSpec& SampleFont() const { return m_font; }
    bool SampleStrikeOut() const { return m_strikeOut; }
    std::int32_t SampleColor() const { return m_color; }
    int SampleAlignment() const { return m_alignment; }

    // Copies the controls into the defaults and writes or removes the
    // autostart entry.
    void ApplySettings();

private:
    void BuildTextGroup();
    void BuildLookGroup();
    void BuildStartGroup();
    void BuildButtons();

    void FormCreate();
    void SpeedButton1Click();
    void SpeedButton2Click();
    void SetSampleAlignment(int alignment);
    void ShowSample();
    void Button1Click();
    void Button3Click();

    TBeall& m_beall;
    TBeallitEnvironment m_environment;
    TFontSpec m_font;
    bool m_strikeOut = false;
    std::int32_t m_color = 0;
    int m_alignment = 0;
};

// The settings command: shows the dialog modally; true when it closed with
// OK (the caller then writes the settings file).
bool ShowBeallit(TBeall& beall, const TBeallitEnvironment& environment);
