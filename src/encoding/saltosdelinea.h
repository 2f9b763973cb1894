#pragma once

#include <QString>

// Qt's text widgets hold a line break as LF alone; texts, files and the
// encoder use CR LF. These convert at the edge between the two.

// Every LF without a CR before it, and every CR without an LF after it,
// becomes CR LF; CR LF stays as it is.
QString SaltosCrLf(const QString &textoDelEditor);

// CR LF and a lone CR become LF.
QString SaltosLf(const QString &texto);

// The length of the longest line of `texto`, its breaks (CR, LF or CR LF)
// not counted.
qsizetype LargoDeLineaMasLarga(const QString &texto);
