#pragma once

#include <QString>

// One compiler message or run-time error, with the place in the source it refers to.
struct TScriptMessage {
    enum class TKind { Error, Warning, Hint };

    TKind kind = TKind::Error;
    QString file; // file name without its folder
    int line = 0; // 1-based; 0 when the message refers to no place
    int column = 0;
    QString text;

    // "[Erreur] macro.pas(3:12): Identificateur inconnu 'Foo'"
    QString ToString() const;
    // "macro.pas(3:12): Division par zéro", the form used for run-time errors
    QString PlaceAndText() const;
};
