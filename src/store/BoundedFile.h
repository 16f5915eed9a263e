#pragma once

#include <QByteArray>
#include <QString>
#include <QtGlobal>

// Reads a whole file of at most maxSize bytes, refusing without blocking anything that is not a regular file
// (a FIFO, a device); 0, or the error number of SiteListFileErrors with the reason (in English) in detail.
int readBoundedFile(const QString& path, qint64 maxSize, QByteArray& data, QString& detail);
