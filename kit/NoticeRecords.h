#pragma once
// The records of the notice screens (modules 3400 and 3500): a page of notice
// titles ("PDA_U003": an end flag in "<free0>", records number;date;title; in
// "<list0>") and one notice ("PDA_U004": title;date;body; in "<free0>"), and the
// texts the screens make of them.
#include <QList>
#include <QString>

namespace kit {

// One row of the notice list.
struct _ST3500 {
    QString num;    // notice number: the detail request's Num
    QString second; // posting date, not shown
    QString title;
};

// One notice.
struct _ST3510 {
    QString title;
    QString second; // posting date, not shown
    QString body;   // may hold "<br>" and "&nbsp;"
};

struct NoticePage {
    QString endFlag;         // "1": nothing follows this page
    QList<_ST3500> records;  // in reply order
};

// The page of a "PDA_U003" reply.
NoticePage FillStruct(const QString& reply);

// The notice of a "PDA_U004" reply: the title up to the first ";", the second
// field up to the next ";", then the body, everything after the second ";" but
// its last character.
_ST3510 FillDetail(const QString& reply);

// A list row: "> ", the title, 45 blanks, the number with its characters
// reversed (only the title shows in the column).
QString NoticeRowText(const _ST3500& record);

// The notice number back from a row text: the characters from the last one
// back to the first blank, read backwards.
QString NoticeNumberOfRow(const QString& rowText);

// The text of the detail window: "[" title "]", a line break, the body.
QString NoticeDetailText(const _ST3510& notice);

// What the detail window shows of that text: every "<br>" a line break, every
// "&nbsp;" a blank, nothing else interpreted (the text came unencrypted).
QString NoticeDisplayText(const QString& detailText);

} // namespace kit
