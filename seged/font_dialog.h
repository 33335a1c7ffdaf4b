#pragma once

#include <QDialog>
#include <QFont>
#include <QList>
#include <QString>

#include "seged/beall.h"

#include <cstdint>
#include <functional>
#include <optional>

class QComboBox;
class QFontDialog;
class QLabel;
class QLineEdit;

// A font with the effects the font dialog offers. Strike-out is shown
// where the font is used but is not part of a stored font.
struct TFontChoice {
    TFontSpec Font;
    bool StrikeOut = false;

    friend bool operator==(const TFontChoice&, const TFontChoice&) = default;
};

// "Betűtípus": Qt's font chooser with a colour below it, picked from the 16
// colours of the classic font dialog or from the colour dialog ("Más szín...").
// It selects the given family, or the installed one really used in its place
// (and says so), with that family's style nearest to the given one. What the
// user leaves untouched comes back exactly as it was given, also a family
// name that is not installed.
class TFontEffectsDialog : public QDialog {
    Q_OBJECT

public:
    explicit TFontEffectsDialog(QWidget* parent = nullptr);

    void SetChoice(const TFontChoice& choice);
    TFontChoice Choice() const;

    // Selects `color` in the colour list; one that is not among the 16 is
    // listed as "Egyéni".
    void SelectColor(std::int32_t color);
    std::int32_t SelectedColor() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void OtherColorClick();
    void UpdateSample();

    QFontDialog* m_picker = nullptr;
    QComboBox* m_colors = nullptr;
    QLineEdit* m_sample = nullptr;
    QLabel* m_missing = nullptr;
    QList<QObject*> m_pickerLists;
    TFontChoice m_given;
    QFont m_shownAtStart;
};

// The font dialog. True on OK, with `font` changed to the choice; on cancel
// `font` is left as it was. When `strikeOut` is given it presets the
// strike-out box and receives its state on OK.
bool ChooseFont(QWidget* parent, TFontSpec& font, bool* strikeOut = nullptr);

// The colour dialog ("Háttérszín"), preset with `color` (0x00BBGGRR). True on
// OK, with `color` changed to the choice; on cancel it is left as it was.
bool ChooseColor(QWidget* parent, std::int32_t& color);

// Answer the dialogs in their place (tests): given what the dialog would
// show (and, for colours, its caption), return the choice, or nothing for
// cancel. The colour answerer also answers "Más szín..." of the font dialog.
// An empty function restores the dialog.
using TChooseFontAnswerer = std::function<std::optional<TFontChoice>(const TFontChoice& shown)>;
using TChooseColorAnswerer =
    std::function<std::optional<std::int32_t>(std::int32_t shown, const QString& caption)>;
void SetChooseFontAnswererForTests(TChooseFontAnswerer answerer);
void SetChooseColorAnswererForTests(TChooseColorAnswerer answerer);
