#include "FixtureLavoro.h"

namespace {

QString descrivi(const FontStd& f) {
    return QStringLiteral("%1 %2%3%4").arg(f.Name).arg(f.Size).arg(f.Bold ? " B" : "").arg(f.Italic ? " I" : "");
}

class FontTest : public LavoroTest {
protected:
    QStringList slot(Stampa& st, const QStringList& nomi) {
        QStringList r;
        for (const QString& n : nomi) r << n + ": " + descrivi(st.LeggiFont(n).FontCorrente());
        return r;
    }
    const QStringList testa{"TestaAzienda", "Titolo", "TestaData", "TestaTitolo"};
    const QStringList corpo{"CorpoLab", "CorpoLab2", "CorpoCampo", "CorpoLabComp", "CorpoCampoComp", "LarghezzaFissa"};
};

TEST_F(FontTest, StandardSlotsWithoutCustomFonts) {
    auto st = preparata();
    FontSta fs;
    fs.FontCorrente().Italic = true;  // kept by the slots the holder's font was stored with
    auto primo = fs.Condiviso();
    ImpFontTesta(*st, fs);
    EXPECT_EQ(st->LeggiParametro("AttendiPdfNoStampa").intero(), 0);
    ImpFontCorpo(*st, fs);
    EXPECT_EQ(slot(*st, testa), (QStringList{"TestaAzienda: arial 9 I", "Titolo: arial 9 B I", "TestaData: arial 10 I",
                                             "TestaTitolo: arial 12 B I"}));
    EXPECT_EQ(slot(*st, corpo),
              (QStringList{"CorpoLab: arial 8 B I", "CorpoLab2: arial 10 I", "CorpoCampo: arial 8",
                           "CorpoLabComp: arial 7 B", "CorpoCampoComp: arial 7", "LarghezzaFissa: Courier New 8"}));
    // From "CorpoCampo" on the holder carries a fresh font object.
    EXPECT_NE(fs.Condiviso(), primo);
}

TEST_F(FontTest, CustomFontsComeFromTheSectionThatHoldsTheCount) {
    scrivi(c->gsFileIni,
        "[PRGLIQ]\nFontPersTes=1\nFontPersCor=2\n"
        "CodiceFontCor1=CorpoCampo\nCorpoCampo_Name=Times New Roman\nCorpoCampo_Size=11\nCorpoCampo_Bold=vero\n"
        "CodiceFontCor2=TestaData\nTestaData_Bold=No\nTestaData_Size=abc\n"
        "[Opzioni Stampa]\nFontPersCor=1\nCodiceFontCor1=CorpoLab\nCorpoLab_Size=20\n");
    auto st = preparata();
    FontSta fs;
    ImpFontTesta(*st, fs);
    ImpFontCorpo(*st, fs);
    EXPECT_EQ(descrivi(st->LeggiFont("CorpoCampo").FontCorrente()), "Times New Roman 11 B");
    // A bad size is passed over; what the entry set before it stays.
    EXPECT_EQ(descrivi(st->LeggiFont("TestaData").FontCorrente()), "arial 10");
    // The report section's count hides "Opzioni Stampa".
    EXPECT_EQ(descrivi(st->LeggiFont("CorpoLab").FontCorrente()), "arial 8 B");
}

TEST_F(FontTest, ASharedFontIsCopiedWhenItExists) {
    scrivi(c->gsFileIni,
        "[Opzioni Stampa]\nFontPersCor=1\nCodiceFontCor1=CorpoCampo\nCorpoCampo_Progr=7\n"
        "CorpoCampo_Name=Courier New\nCorpoCampo_Bold=S\n");
    FontSta condiviso;
    condiviso.FontCorrente() = FontStd{"Times New Roman", 14, false, true, true, true};
    serviziLavoroStampa().CaricaFontPers = [&](Stampa& st) { st.FontAdd(NomeFontPers(7), condiviso); };
    auto st = preparata();
    FontSta fs;
    ImpFontCorpo(*st, fs);
    EXPECT_EQ(st->LeggiFont("CorpoCampo").FontCorrente(), condiviso.FontCorrente());

    serviziLavoroStampa().CaricaFontPers = nullptr;  // shared font 7 absent: name and bold apply
    auto senza = preparata();
    ImpFontCorpo(*senza, fs);
    EXPECT_EQ(descrivi(senza->LeggiFont("CorpoCampo").FontCorrente()), "Courier New 8 B");
}

}  // namespace
