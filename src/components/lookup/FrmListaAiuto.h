#pragma once
// The lookup list: rows of a table with a search field above them. Typing
// narrows the rows to those where one of the search columns begins with the
// text (case ignored); Up, Down, Page Up, Page Down move the current row while
// the typing stays in the search field; Enter or a double click chooses the
// row, Esc closes without a choice. Columns are as wide as their texts and
// the window widens to show them, up to the screen's width.
#include <QDialog>
#include <QList>
#include <QStringList>

class QLineEdit;
class QTableWidget;

class FrmListaAiuto : public QDialog {
    Q_OBJECT
public:
    explicit FrmListaAiuto(QWidget* parent = nullptr);

    // Headers and rows (texts); colonnaRicerca: the column the search
    // matches; the search field starts with testo.
    void Carica(const QString& titolo, const QStringList& intestazioni, const QList<QStringList>& righe,
                int colonnaRicerca, const QString& testo);
    void Carica(const QString& titolo, const QStringList& intestazioni, const QList<QStringList>& righe,
                const QList<int>& colonneRicerca, const QString& testo);
    // Makes a loaded row the current one, when it is shown.
    void ImpostaRigaCorrente(int riga);
    // Rows shown now, by their number in the loaded rows.
    QList<int> RigheVisibili() const;
    // The loaded row chosen, -1 when none.
    int RigaScelta() const { return scelta_; }
    // The column the current cell stood in when the row was chosen.
    int ColonnaScelta() const { return colonnaScelta_; }
    // The current row among those shown, -1 when none.
    int RigaCorrente() const;

    QLineEdit* txtRicerca;
    QTableWidget* dbgLista;

protected:
    bool eventFilter(QObject* o, QEvent* e) override;

private:
    void Filtra();
    void Scegli();

    void Adatta();

    QList<QStringList> righe_;
    QList<int> colonne_;
    int scelta_ = -1;
    int colonnaScelta_ = 0;
};
