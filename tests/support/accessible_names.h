#pragma once
// What assistive technology hears of a form's fields: the caption of a field is the
// text of what labels it (its buddy label, or the group box it sits in).
#include <QStringList>

class QWidget;

QString Caption(QWidget& field);
// The name assistive technology reads for a field: its own, or its caption's.
QString AccessibleName(QWidget& field);
// The object names of the edits and choice boxes under form that have no name,
// in the order of the form's children.
QStringList UncaptionedFields(const QWidget& form);
