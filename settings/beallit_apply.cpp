#include "settings/beallit.h"

#include <QCheckBox>
#include <QSlider>

void Tfrm_Beallit::ApplySettings()
{
    m_beall.Font = m_font;
    m_beall.Color = m_color;
    m_beall.Alignment = m_alignment;

    // On every apply, so that the entry follows the box even when someone
    // else changed it meanwhile. Failures are silent.
    if (CheckBox1->isChecked())
        m_environment.Autostart.Write(m_environment.ProgramFile);
    else
        m_environment.Autostart.Remove();

    m_beall.WindowTransparent = CheckBox2->isChecked();
    m_beall.FontTransparent = CheckBox3->isChecked();
    m_beall.UseTransparentColor = m_beall.WindowTransparent || m_beall.FontTransparent;
    m_beall.AlphaBlend = CheckBox4->isChecked();
    m_beall.AlphaBlendValue = TrackBar1->value();
}

void Tfrm_Beallit::Button3Click()
{
    ApplySettings();
}

void Tfrm_Beallit::Button1Click()
{
    ApplySettings();
    done(QDialog::Accepted);
}

bool ShowBeallit(TBeall& beall, const TBeallitEnvironment& environment)
{
    // Owned by the application: no parent window.
    Tfrm_Beallit dialog(beall, environment);
    return dialog.exec() == QDialog::Accepted;
}
