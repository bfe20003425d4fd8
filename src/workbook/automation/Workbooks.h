#pragma once

#include <QString>

namespace tannbuch {

class Application;
class BookHandle;

// The application's collection of open workbooks (Workbooks.Count, .Add).
class Workbooks
{
public:
    explicit Workbooks(Application &app);

    // Number of open workbooks.
    int count() const;
    // A new workbook made from the template file, made active. Throws
    // WorkbookError naming the file when it cannot be read.
    BookHandle add(const QString &templatePath) const;
    // A new empty workbook, made active.
    BookHandle add() const;
    // The open workbook at index 0..count()-1; throws WorkbookError outside.
    BookHandle item(int index) const;
    // Closes the workbook (see Application::closeWorkbook).
    void close(const BookHandle &book, bool saveChanges = false) const;

private:
    Application *m_app;
};

} // namespace tannbuch
