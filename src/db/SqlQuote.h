#pragma once

#include <QString>

// Text for the inside of a single-quoted SQL literal: every single quote is
// doubled, so a value like O'Brien stays one value and can never change a
// statement's meaning. A value without quotes comes back unchanged.
QString sqlQuoteInner(const QString &value);
