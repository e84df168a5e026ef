#pragma once
// One simulated search: what the upload carried and how far its status
// sequence has gone.
#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

namespace sorvexsim {

struct SimSearch {
    QString taskId;
    int upload = 0;                 // order of its upload from 1; 0 = not uploaded
    QString method;                 // "1" data file, "4" follow-up, as in the path
    qint64 bodyBytes = 0;
    int queries = 0;                // "BEGIN IONS" blocks plus QUE parts
    quint32 hash = 0;               // SearchOracle.h
    QList<QPair<QString, QString>> fields;  // small form parts in body order
    QStringList queryTexts;         // per query, the text its follow-up sends back
    QList<quint32> queryHashes;
    QStringList states;             // status sequence; the last repeats
    int polls = 0;
    QString niceValue;              // last nice_job value ("" none)
    QString resultFile;
};

}  // namespace sorvexsim
