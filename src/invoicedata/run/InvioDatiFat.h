#pragma once
// What the run lock and the recovery of a stopped send share about a send of
// invoice data: the code of the lock row, the undoing of a send's marks, the
// deletion of the lock row a run left behind, and how a send is named to the
// user.
#include <QString>

inline const QString kCodiceLockDatiFat = QStringLiteral("XMLDatiFat");

// Puts the registrations of one send of a communication and kind, still in
// state "N", back to "not sent": NumInv, Progr and NomeFile cleared.
void AzzeraInvio(const QString& idDb, int anno, int numCom, int numInvio, const QString& tipo);

// Deletes the lock row a run of this company, kind, communication and send
// number (0 for a cancellation) left behind, whatever terminal wrote it.
void CancellaLockInvio(const QString& idAzienda, const QString& tipo, int anno, int numCom, int numInvio);

// The terminal whose lock row this send (send number 0 for a cancellation)
// of the company, kind and communication still holds, when it is not this
// one; "" when the row is this terminal's or there is none.
QString LockInvioDiAltroTerminale(const QString& idAzienda, const QString& tipo, int anno, int numCom, int numInvio);

// "clienti" for the kind "E", else "fornitori".
QString NomeTipoInvio(const QString& tipo);
// "L'invio 3 dei dati fatture della comunicazione 2019/2 (clienti)".
QString DescrizioneInvio(int numInvio, int annoCom, int numCom, const QString& tipo);
// " della comunicazione 2019/2 (clienti)".
QString DescrizioneComunicazione(int annoCom, int numCom, const QString& tipo);
