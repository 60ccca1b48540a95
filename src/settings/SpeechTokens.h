#pragma once
// The speech comment tokens in their fixed order: token n (from 1) is the n-th name.
// The settings file numbers its speech keys by this position.
#include <QString>

inline const QString SpeechTokenList = QStringLiteral(
    "sprg,svaA,svaB,svaC,svaD,svaE,svaF,svaG,svaH,ssta,shig,sqnl,sqne,smor,stiA,stiB,stiC,stiD,"
    "stiE,stiF,stiG,senA,senB,senC,senD,senE,senF,ssto,sshu,sbut,slip,snot");
