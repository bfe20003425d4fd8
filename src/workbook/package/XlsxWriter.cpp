#include "XlsxWriter.h"

#include "workbook/cells/Workbook.h"
#include "workbook/cells/WorkbookError.h"
#include "workbook/package/ContentTypes.h"
#include "workbook/package/CustomPropertiesPart.h"
#include "workbook/package/OoxmlNames.h"
#include "workbook/package/PictureDrawing.h"
#include "workbook/package/Relationships.h"
#include "workbook/package/SharedStringTable.h"
#include "workbook/package/SheetXmlWriter.h"
#include "workbook/package/StyleTable.h"
#include "workbook/package/TemplatePackage.h"
#include "workbook/package/XmlDom.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <QSet>

#include <algorithm>
#include <csignal>
#include <mutex>
#include <optional>

namespace tannbuch {

namespace {

using XmlDom::child;
using XmlDom::is;

QString relType(const char *name)
{
    return QString::fromLatin1(Ooxml::RelBase) + QLatin1String(name);
}

// The package of a workbook made from nothing: a workbook part without sheets.
std::shared_ptr<TemplatePackage> emptyPackage()
{
    auto package = std::make_shared<TemplatePackage>();
    package->workbookPart = QStringLiteral("xl/workbook.xml");
    package->addPart(QStringLiteral("[Content_Types].xml"),
        QByteArray("<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n<Types xmlns=\"")
            + Ooxml::ContentTypesNs
            + "\"><Default Extension=\"rels\" "
              "ContentType=\"application/vnd.openxmlformats-package.relationships+xml\"/>"
              "<Default Extension=\"xml\" ContentType=\"application/xml\"/></Types>");
    Relationships root;
    root.add(relType(Ooxml::RelOfficeDocument), QStringLiteral("xl/workbook.xml"));
    package->addPart(QStringLiteral("_rels/.rels"), root.toXml());
    package->addPart(QStringLiteral("xl/workbook.xml"),
        QByteArray("<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n<workbook xmlns=\"") + Ooxml::MainNs
            + "\" xmlns:r=\"" + Ooxml::RelationshipsNs
            + "\"><bookViews><workbookView activeTab=\"0\"/></bookViews><sheets/></workbook>");
    return package;
}

QString uniquePath(const TemplatePackage &package, const QSet<QString> &taken, const QString &pattern)
{
    for (int n = 1;; ++n) {
        const QString path = pattern.arg(n);
        if (!package.part(path) && !taken.contains(path))
            return path;
    }
}

// The workbook element's children in the order the file format demands.
const char *const workbookOrder[] = {"fileVersion", "fileSharing", "workbookPr", "workbookProtection", "bookViews",
    "sheets", "functionGroups", "externalReferences", "definedNames", "calcPr", "oleSize", "customWorkbookViews",
    "pivotCaches", "smartTagPr", "smartTagTypes", "webPublishing", "fileRecoveryPr", "webPublishObjects", "extLst"};

// A part the workbook refers to once, such as its styles: its usual path, the
// pattern of a free one, the workbook's relationship to it and its content type.
struct LinkedPartKind
{
    const char *usualPath;
    const char *freePattern;
    const char *relationship;
    const char *contentType;
};

const LinkedPartKind stylesPartKind = {"xl/styles.xml", "xl/styles%1.xml", Ooxml::RelStyles, Ooxml::CtStyles};
const LinkedPartKind sharedStringsPartKind
    = {"xl/sharedStrings.xml", "xl/sharedStrings%1.xml", Ooxml::RelSharedStrings, Ooxml::CtSharedStrings};

// Builds the parts of the file to write from the kept package and the model.
class PackageBuilder
{
public:
    PackageBuilder(const Workbook &workbook, const XlsxWriter::Options &options)
        : m_workbook(workbook)
        , m_options(options)
    {
        m_package = workbook.package() ? std::make_shared<TemplatePackage>(*workbook.package()) : emptyPackage();
        m_fileName = workbook.sourcePath().isEmpty() ? QStringLiteral("Arbeitsmappe")
                                                     : QFileInfo(workbook.sourcePath()).fileName();
    }

    // The entries to pack. The rest of a written sheet is streamed from the
    // model and this builder's tables while packing: the builder and the
    // workbook must outlive it.
    std::vector<ZipEntry> build();

private:
    void setPart(const QString &path, const QByteArray &data)
    {
        m_removed.remove(path);
        m_taken.insert(path);
        m_package->addPart(path, data);
    }
    void removePart(const QString &path)
    {
        m_removed.insert(path);
        m_types.removeOverride(path);
    }
    Relationships relationshipsOf(const QString &part) const
    {
        const QString path = Relationships::relsPathFor(part);
        const QByteArray *bytes = m_package->part(path);
        return bytes && !m_removed.contains(path) ? Relationships::parse(*bytes, path) : Relationships();
    }
    void writeRelationships(const QString &part, const Relationships &rels)
    {
        const QString path = Relationships::relsPathFor(part);
        if (rels.items().empty()) {
            if (m_package->part(path))
                removePart(path);
            return;
        }
        setPart(path, rels.toXml());
    }
    // The sheet the file opens on (the active tab, shown selected): the
    // only visible one when the others are hidden, else the active sheet.
    int selectedSheet() const
    {
        return m_options.onlyVisibleSheet >= 0 ? m_options.onlyVisibleSheet : m_workbook.activeSheetIndex();
    }
    // The workbook's sheet entries in tab order, with the model's sheet
    // shown on each (-1 for none) and the highest sheet id given.
    struct SheetTabs
    {
        std::vector<pugi::xml_node> nodes;
        std::vector<int> modelIndex;
        int maxSheetId = 0;
    };

    void readContentTypes();
    const TemplatePackage::SheetInfo *templateSheet(int index) const;
    bool anySheetChanged() const;
    void dropCalculationChain(Relationships &workbookRels);
    void dropMacros(Relationships &workbookRels);
    void dropWithTargets(const QString &part);
    std::vector<QString> writeSheets(StyleTable &styles, SharedStringTable &strings);
    void keepSheet(int index, const TemplatePackage::SheetInfo &info, SharedStringTable &strings);
    QString writeSheet(
        int index, const TemplatePackage::SheetInfo *info, StyleTable &styles, SharedStringTable &strings);
    QString writeDrawing(const std::vector<Picture> &pictures, const QString &sheetPart, Relationships &rels);
    QString imagePartFor(const Picture &picture);
    void writeLinkedPart(const LinkedPartKind &kind, QString path, const QByteArray &xml, Relationships &workbookRels);
    void writeWorkbookPart(const std::vector<QString> &newSheetParts, Relationships &workbookRels, bool anyChanged);
    SheetTabs renamedSheetTabs(pugi::xml_node sheets) const;
    void appendNewSheets(pugi::xml_node root, pugi::xml_node sheets, SheetTabs &tabs,
        const std::vector<QString> &newSheetParts, Relationships &workbookRels) const;
    void showSelectedTab(pugi::xml_node root, const SheetTabs &tabs) const;
    void writeCustomProperties();
    std::vector<ZipEntry> entries();

    const Workbook &m_workbook;
    XlsxWriter::Options m_options;
    std::shared_ptr<TemplatePackage> m_package;
    QString m_fileName;
    ContentTypes m_types;
    QSet<QString> m_removed;
    QSet<QString> m_taken;
    QHash<QByteArray, QString> m_imageParts; // image bytes → the part that holds them
    std::optional<StyleTable> m_styles;
    std::optional<SharedStringTable> m_strings;
    QHash<QString, std::shared_ptr<ZipStream>> m_streamedRest; // part → its rest streamed while packing
};

void PackageBuilder::dropWithTargets(const QString &part)
{
    const Relationships rels = relationshipsOf(part);
    for (const Relationship &r : rels.items()) {
        if (!r.external)
            removePart(Relationships::resolve(part, r.target));
    }
    removePart(Relationships::relsPathFor(part));
    removePart(part);
}

QString PackageBuilder::writeSheet(
    int index, const TemplatePackage::SheetInfo *info, StyleTable &styles, SharedStringTable &strings)
{
    const Worksheet &sheet = m_workbook.sheet(index);
    const QString part
        = info ? info->partPath : uniquePath(*m_package, m_taken, QStringLiteral("xl/worksheets/sheet%1.xml"));
    m_taken.insert(part);

    // Hyperlinks are written anew from the model; the sheet's other
    // relationships (drawing, comments, printer settings, tables) stay.
    Relationships rels = relationshipsOf(part);
    rels.removeType(Ooxml::RelHyperlink);

    QString drawingId;
    if (const Relationship *existing = rels.findType(Ooxml::RelDrawing))
        drawingId = existing->id;
    if (!sheet.pictures().empty())
        drawingId = writeDrawing(sheet.pictures(), part, rels);

    const SheetXmlWriter::Input input{
        m_workbook, sheet, styles, strings, rels, drawingId, index == selectedSheet(), m_fileName};
    ZipEntry written = SheetXmlWriter::write(input);
    setPart(part, written.data);
    m_streamedRest.insert(part, std::move(written.rest));
    writeRelationships(part, rels);
    m_types.setOverride(part, QString::fromLatin1(Ooxml::CtWorksheet));
    return part;
}

// The drawing that shows the sheet's pictures: the sheet's own, with the
// pictures added, or a new one. Returns the sheet's relationship id to it.
QString PackageBuilder::writeDrawing(
    const std::vector<Picture> &pictures, const QString &sheetPart, Relationships &rels)
{
    QString drawingPart;
    QString drawingId;
    // A copy: adding the images below may move the package's parts.
    std::optional<QByteArray> existingDrawing;
    if (const Relationship *existing = rels.findType(Ooxml::RelDrawing)) {
        drawingId = existing->id;
        drawingPart = Relationships::resolve(sheetPart, existing->target);
        if (const QByteArray *bytes = m_package->part(drawingPart))
            existingDrawing = *bytes;
    }
    if (drawingPart.isEmpty()) {
        drawingPart = uniquePath(*m_package, m_taken, QStringLiteral("xl/drawings/drawing%1.xml"));
        drawingId = rels.add(relType(Ooxml::RelDrawing), Relationships::relativeTarget(sheetPart, drawingPart));
    }
    m_taken.insert(drawingPart);
    Relationships drawingRels = relationshipsOf(drawingPart);
    std::vector<QString> imageIds;
    // Each image is stored once in the package (a logo inserted for every
    // lot is one part) and each drawing refers to it once.
    QHash<QString, QString> idOfImagePart;
    for (const Picture &picture : pictures) {
        const QString imagePart = imagePartFor(picture);
        QString &id = idOfImagePart[imagePart];
        if (id.isEmpty())
            id = drawingRels.add(relType(Ooxml::RelImage), Relationships::relativeTarget(drawingPart, imagePart));
        imageIds.push_back(id);
    }
    setPart(drawingPart,
        PictureDrawing::build(existingDrawing ? &*existingDrawing : nullptr, pictures, imageIds, m_fileName));
    writeRelationships(drawingPart, drawingRels);
    m_types.setOverride(drawingPart, QString::fromLatin1(Ooxml::CtDrawing));
    return drawingId;
}

// The part that holds the picture's image, stored when no part has it yet.
QString PackageBuilder::imagePartFor(const Picture &picture)
{
    QString imagePart = m_imageParts.value(picture.data);
    if (!imagePart.isEmpty())
        return imagePart;
    QString extension = picture.extension.toLower();
    if (extension.isEmpty())
        extension = QStringLiteral("png");
    if (extension == QLatin1String("jpg"))
        extension = QStringLiteral("jpeg");
    imagePart = uniquePath(*m_package, m_taken, QStringLiteral("xl/media/image%1.") + extension);
    setPart(imagePart, picture.data);
    if (!m_types.covers(imagePart))
        m_types.setDefault(extension, ContentTypes::ofExtension(extension));
    m_imageParts.insert(picture.data, imagePart);
    return imagePart;
}

std::vector<ZipEntry> PackageBuilder::build()
{
    if (m_workbook.sheetCount() == 0)
        throw WorkbookError(QStringLiteral("Die Arbeitsmappe enthält kein Tabellenblatt und kann nicht gespeichert "
                                           "werden."));
    TemplatePackage &pkg = *m_package;
    readContentTypes();
    Relationships workbookRels = relationshipsOf(pkg.workbookPart);
    const bool anyChanged = anySheetChanged();
    if (anyChanged)
        dropCalculationChain(workbookRels);
    dropMacros(workbookRels);

    StyleTable &styles = m_styles.emplace(pkg.stylesPart.isEmpty() ? nullptr : pkg.part(pkg.stylesPart), m_fileName);
    SharedStringTable &strings
        = m_strings.emplace(pkg.sharedStringsPart.isEmpty() ? nullptr : pkg.part(pkg.sharedStringsPart), m_fileName);
    const std::vector<QString> newSheetParts = writeSheets(styles, strings);
    if (styles.isChanged())
        writeLinkedPart(stylesPartKind, pkg.stylesPart, styles.toXml(), workbookRels);
    if (strings.isChanged())
        writeLinkedPart(sharedStringsPartKind, pkg.sharedStringsPart, strings.toXml(), workbookRels);

    writeWorkbookPart(newSheetParts, workbookRels, anyChanged);
    writeRelationships(pkg.workbookPart, workbookRels);
    m_types.setOverride(pkg.workbookPart,
        QString::fromLatin1(m_options.kind == XlsxWriter::FileKind::Template ? Ooxml::CtTemplate : Ooxml::CtWorkbook));
    writeCustomProperties();
    return entries();
}

// The template's content types, and the two every package needs.
void PackageBuilder::readContentTypes()
{
    m_types.parse(m_package->part(QStringLiteral("[Content_Types].xml")), m_fileName);
    m_types.setDefault(QStringLiteral("rels"), QString::fromLatin1(Ooxml::CtRelationships));
    m_types.setDefault(QStringLiteral("xml"), QStringLiteral("application/xml"));
}

// The template entry of a sheet of the model; null for a new sheet.
const TemplatePackage::SheetInfo *PackageBuilder::templateSheet(int index) const
{
    const TemplatePackage::SheetInfo *info = nullptr;
    for (const auto &s : m_package->sheets) {
        if (s.isWorksheet && s.modelIndex == index)
            info = &s;
    }
    return info;
}

// True when any sheet is new or has changed.
bool PackageBuilder::anySheetChanged() const
{
    for (int i = 0; i < m_workbook.sheetCount(); ++i) {
        if (!templateSheet(i) || m_workbook.sheet(i).isChanged())
            return true;
    }
    return false;
}

// A calculation chain lists formula cells; once cells change it is stale and
// would make spreadsheet programs repair the file.
void PackageBuilder::dropCalculationChain(Relationships &workbookRels)
{
    if (const Relationship *chain = workbookRels.findType(Ooxml::RelCalcChain))
        removePart(Relationships::resolve(m_package->workbookPart, chain->target));
    workbookRels.removeType(Ooxml::RelCalcChain);
}

// A workbook (.xlsx) carries no macros: the project part goes, with whatever
// hangs on it (its signature).
void PackageBuilder::dropMacros(Relationships &workbookRels)
{
    if (const Relationship *vba = workbookRels.findType(Ooxml::RelVbaProject))
        dropWithTargets(Relationships::resolve(m_package->workbookPart, vba->target));
    workbookRels.removeType(Ooxml::RelVbaProject);
    std::erase_if(m_types.overrides, [](const auto &o) { return o.second.contains(QLatin1String("vbaProject")); });
    std::erase_if(m_types.defaults, [](const auto &d) { return d.second.contains(QLatin1String("vbaProject")); });
}

// Sheets: unchanged ones as they were, changed and new ones written anew.
// Returns the parts of the new sheets by model index, empty for the others.
std::vector<QString> PackageBuilder::writeSheets(StyleTable &styles, SharedStringTable &strings)
{
    std::vector<QString> newSheetParts(size_t(m_workbook.sheetCount()));
    for (int i = 0; i < m_workbook.sheetCount(); ++i) {
        const TemplatePackage::SheetInfo *info = templateSheet(i);
        if (info && !m_workbook.sheet(i).isChanged()) {
            keepSheet(i, *info, strings);
            continue;
        }
        const QString part = writeSheet(i, info, styles, strings);
        if (!info)
            newSheetParts[size_t(i)] = part;
    }
    return newSheetParts;
}

// An unchanged sheet is kept as it was, but for its sheet views: the active
// sheet alone shows as selected, and each sheet opens in the window's view.
void PackageBuilder::keepSheet(int index, const TemplatePackage::SheetInfo &info, SharedStringTable &strings)
{
    const QByteArray *bytes = m_package->part(info.partPath);
    if (!bytes)
        return;
    strings.addKeptSheet(*bytes, info.partPath, m_fileName);
    QByteArray patched
        = SheetXmlWriter::withCurrentViews(*bytes, m_workbook.sheet(index), index == selectedSheet(), m_fileName);
    if (patched != *bytes)
        setPart(info.partPath, patched);
}

// A part the workbook refers to once: written where the template has it, or
// else under its usual name (a free one beside it when that is taken) with a
// relationship from the workbook.
void PackageBuilder::writeLinkedPart(
    const LinkedPartKind &kind, QString path, const QByteArray &xml, Relationships &workbookRels)
{
    if (path.isEmpty()) {
        path = uniquePath(*m_package, m_taken, QString::fromLatin1(kind.freePattern));
        if (!m_package->part(QLatin1String(kind.usualPath)))
            path = QString::fromLatin1(kind.usualPath);
        workbookRels.removeType(kind.relationship);
        workbookRels.add(relType(kind.relationship), Relationships::relativeTarget(m_package->workbookPart, path));
    }
    setPart(path, xml);
    m_types.setOverride(path, QString::fromLatin1(kind.contentType));
}

// The workbook part: sheet names and new sheets, the active tab, and a
// request to recalculate on opening once cells changed.
void PackageBuilder::writeWorkbookPart(
    const std::vector<QString> &newSheetParts, Relationships &workbookRels, bool anyChanged)
{
    const QString &workbookPart = m_package->workbookPart;
    pugi::xml_document doc;
    XmlDom::parse(doc, *m_package->part(workbookPart), workbookPart, m_fileName);
    pugi::xml_node root = doc.document_element();
    const pugi::xml_node sheets = XmlDom::ensureChild(root, "sheets", workbookOrder);
    SheetTabs tabs = renamedSheetTabs(sheets);
    appendNewSheets(root, sheets, tabs, newSheetParts, workbookRels);
    showSelectedTab(root, tabs);
    if (anyChanged)
        XmlDom::setAttribute(XmlDom::ensureChild(root, "calcPr", workbookOrder), "fullCalcOnLoad", "1");
    setPart(workbookPart, XmlDom::serializeDocument(doc));
}

// The workbook's sheet entries, each named as its sheet of the model is now.
PackageBuilder::SheetTabs PackageBuilder::renamedSheetTabs(pugi::xml_node sheets) const
{
    SheetTabs tabs;
    tabs.nodes = XmlDom::children(sheets, "sheet");
    for (const pugi::xml_node &s : tabs.nodes)
        tabs.maxSheetId = std::max(tabs.maxSheetId, s.attribute("sheetId").as_int(0));
    const auto &infos = m_package->sheets;
    for (size_t k = 0; k < tabs.nodes.size() && k < infos.size(); ++k) {
        const auto &info = infos[k];
        tabs.modelIndex.push_back(info.isWorksheet ? info.modelIndex : -1);
        if (info.isWorksheet && info.modelIndex >= 0 && info.modelIndex < m_workbook.sheetCount()) {
            const QString name = m_workbook.sheet(info.modelIndex).name();
            if (name != info.name)
                XmlDom::setAttribute(tabs.nodes[k], "name", name.toUtf8().constData());
        }
    }
    return tabs;
}

// An entry behind the others for each new sheet, with the workbook's
// relationship to its part.
void PackageBuilder::appendNewSheets(pugi::xml_node root, pugi::xml_node sheets, SheetTabs &tabs,
    const std::vector<QString> &newSheetParts, Relationships &workbookRels) const
{
    for (int i = 0; i < m_workbook.sheetCount(); ++i) {
        if (newSheetParts[size_t(i)].isEmpty())
            continue;
        const QString id = workbookRels.add(relType(Ooxml::RelWorksheet),
            Relationships::relativeTarget(m_package->workbookPart, newSheetParts[size_t(i)]));
        pugi::xml_node s = sheets.append_child(XmlDom::prefixed(root, "sheet").constData());
        s.append_attribute("name") = m_workbook.sheet(i).name().toUtf8().constData();
        s.append_attribute("sheetId") = ++tabs.maxSheetId;
        s.append_attribute("r:id") = id.toUtf8().constData();
        if (!root.attribute("xmlns:r"))
            root.append_attribute("xmlns:r") = Ooxml::RelationshipsNs;
        tabs.nodes.push_back(s);
        tabs.modelIndex.push_back(i);
    }
}

// The selected sheet becomes the active tab; when one sheet alone is to be
// seen, every other tab is hidden.
void PackageBuilder::showSelectedTab(pugi::xml_node root, const SheetTabs &tabs) const
{
    const int shown = selectedSheet();
    int activeTab = 0;
    for (size_t k = 0; k < tabs.modelIndex.size(); ++k) {
        if (tabs.modelIndex[k] == shown)
            activeTab = int(k);
    }
    if (m_options.onlyVisibleSheet >= 0) {
        for (size_t k = 0; k < tabs.nodes.size(); ++k) {
            pugi::xml_node tab = tabs.nodes[k];
            tab.remove_attribute("state");
            if (int(k) != activeTab)
                tab.append_attribute("state") = "hidden";
        }
    }
    pugi::xml_node views = XmlDom::ensureChild(root, "bookViews", workbookOrder);
    pugi::xml_node view = child(views, "workbookView");
    if (!view)
        view = views.append_child(XmlDom::prefixed(root, "workbookView").constData());
    XmlDom::setAttribute(view, "activeTab", QByteArray::number(activeTab).constData());
    view.remove_attribute("firstSheet");
}

// Custom document properties (the values the report hands to the template),
// written when the program changed them.
void PackageBuilder::writeCustomProperties()
{
    if (m_workbook.customProperties() == m_package->customProperties)
        return;
    Relationships rootRels = relationshipsOf(QString());
    QString path = QStringLiteral("docProps/custom.xml");
    if (const Relationship *rel = rootRels.findType(Ooxml::RelCustomProperties))
        path = Relationships::resolve(QString(), rel->target);
    if (m_workbook.customProperties().isEmpty()) {
        rootRels.removeType(Ooxml::RelCustomProperties);
        removePart(path);
    } else {
        if (!rootRels.findType(Ooxml::RelCustomProperties))
            rootRels.add(relType(Ooxml::RelCustomProperties), path);
        setPart(path, CustomPropertiesPart::build(m_workbook.customProperties(), *m_package));
        m_types.setOverride(path, QString::fromLatin1(Ooxml::CtCustomProperties));
    }
    writeRelationships(QString(), rootRels);
}

// The parts to store: the content types first, where every part written
// needs one and overrides of parts gone go, then the parts in their order.
std::vector<ZipEntry> PackageBuilder::entries()
{
    const TemplatePackage &pkg = *m_package;
    const auto stored = [&](const ZipEntry &part) {
        return !m_removed.contains(part.name) && part.name != QLatin1String("[Content_Types].xml");
    };
    std::erase_if(m_types.overrides, [&](const auto &o) { return !pkg.part(o.first) || m_removed.contains(o.first); });
    for (const ZipEntry &part : pkg.parts) {
        if (stored(part) && !m_types.covers(part.name))
            m_types.setDefault(QFileInfo(part.name).suffix(), ContentTypes::ofExtension(QFileInfo(part.name).suffix()));
    }
    std::vector<ZipEntry> entries;
    entries.push_back({QStringLiteral("[Content_Types].xml"), m_types.toXml()});
    for (const ZipEntry &part : pkg.parts) {
        if (stored(part))
            entries.push_back({part.name, part.data, m_streamedRest.value(part.name)});
    }
    return entries;
}

} // namespace

void XlsxWriter::save(const Workbook &workbook, QIODevice &device)
{
    save(workbook, device, Options());
}

void XlsxWriter::save(const Workbook &workbook, QIODevice &device, const Options &options)
{
    PackageBuilder builder(workbook, options);
    std::vector<ZipEntry> entries = builder.build();
    ZipArchive::write(entries, device, qBound(1, options.compressionLevel, 9));
}

void XlsxWriter::save(const Workbook &workbook, const QString &path)
{
    Options options;
    if (path.endsWith(QLatin1String(".xltx"), Qt::CaseInsensitive))
        options.kind = FileKind::Template;
    save(workbook, path, options);
}

void XlsxWriter::save(const Workbook &workbook, const QString &path, const Options &options)
{
    const QFileInfo target(path);
    if (!target.absoluteDir().exists())
        throw WorkbookError(QStringLiteral("Die Arbeitsmappe kann nicht als \"%1\" gespeichert werden: der Ordner "
                                           "\"%2\" existiert nicht.")
                                .arg(path, QDir::toNativeSeparators(target.absolutePath())));
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        throw WorkbookError(QStringLiteral("Die Arbeitsmappe kann nicht als \"%1\" gespeichert werden: %2")
                                .arg(path, file.errorString()));
    try {
        save(workbook, file, options);
    } catch (const WorkbookError &e) {
        file.cancelWriting();
        throw WorkbookError(
            QStringLiteral("Die Arbeitsmappe kann nicht als \"%1\" gespeichert werden: %2").arg(path, e.message()));
    }
    if (!file.commit())
        throw WorkbookError(QStringLiteral("Die Arbeitsmappe kann nicht als \"%1\" gespeichert werden: %2")
                                .arg(path, file.errorString()));
}

} // namespace tannbuch
