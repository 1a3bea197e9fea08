#pragma once
// The font holder of the print component. It carries one font object; the
// print object copies that font into a named slot when it is stored, and
// hands back holders that carry a stored slot's font itself.
#include <QString>
#include <memory>

// The platform's standard font object: name, size in points and the four
// style switches. Report code names the Windows fonts; the drawing back ends
// resolve them to installed families (see FamigliaInstallata).
struct FontStd {
    QString Name = QStringLiteral("arial");
    double Size = 8;
    bool Bold = false;
    bool Italic = false;
    bool Underline = false;
    bool Strikethrough = false;

    bool operator==(const FontStd&) const = default;
};

class FontSta {
public:
    FontSta() : font_(std::make_shared<FontStd>()) {}
    explicit FontSta(std::shared_ptr<FontStd> font, bool definito = true)
        : font_(font ? std::move(font) : std::make_shared<FontStd>()), definito_(definito && font_ != nullptr) {}

    // The font the holder carries: the same object on every call, so that
    // settings made through it stay on the holder.
    FontStd& FontCorrente() { return *font_; }
    const FontStd& FontCorrente() const { return *font_; }
    std::shared_ptr<FontStd> Condiviso() const { return font_; }
    // The holder carries another font object from now on.
    void ImpostaFont(std::shared_ptr<FontStd> font) {
        font_ = font ? std::move(font) : std::make_shared<FontStd>();
        definito_ = true;
    }
    // True when a holder handed back by the print object carries a stored font.
    bool FontDefinito() const { return definito_; }

private:
    std::shared_ptr<FontStd> font_;
    bool definito_ = true;
};

// The installed family that stands for a font name of the reports: Arial,
// Times New Roman and Courier New (any case) become the metric-compatible
// Liberation families; other names stay as they are.
QString FamigliaInstallata(const QString& nome);
