#pragma once

#include <QString>

class Application;
class Book;

// The application's collection of open workbooks (Workbooks.Count, .Add).
class Workbooks
{
public:
    explicit Workbooks(Application &app);

    // Number of open workbooks.
    int count() const;
    // A new workbook made from the template file, made active. Throws
    // WorkbookError naming the file when it cannot be read.
    Book add(const QString &templatePath) const;
    // A new empty workbook, made active.
    Book add() const;
    // The open workbook at index 0..count()-1; throws WorkbookError outside.
    Book item(int index) const;
    // Closes the workbook (see Application::closeWorkbook).
    void close(const Book &book, bool saveChanges = false) const;

private:
    Application *m_app;
};
