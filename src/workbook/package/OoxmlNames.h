#pragma once

namespace tannbuch {

// Namespaces, relationship types and content types of the workbook file
// format, as the file layer reads and writes them. Relationship types are
// matched by their last path segment ("/worksheet"), so both the transitional
// and the strict spelling of a type are recognised on reading.
namespace Ooxml {

inline constexpr char MainNs[] = "http://schemas.openxmlformats.org/spreadsheetml/2006/main";
inline constexpr char RelationshipsNs[] = "http://schemas.openxmlformats.org/officeDocument/2006/relationships";
inline constexpr char PackageRelationshipsNs[] = "http://schemas.openxmlformats.org/package/2006/relationships";
inline constexpr char ContentTypesNs[] = "http://schemas.openxmlformats.org/package/2006/content-types";
inline constexpr char DrawingNs[] = "http://schemas.openxmlformats.org/drawingml/2006/spreadsheetDrawing";
inline constexpr char DrawingMainNs[] = "http://schemas.openxmlformats.org/drawingml/2006/main";
inline constexpr char CustomPropertiesNs[] = "http://schemas.openxmlformats.org/officeDocument/2006/custom-properties";
inline constexpr char DocPropsVTypesNs[] = "http://schemas.openxmlformats.org/officeDocument/2006/docPropsVTypes";
inline constexpr char CustomPropertyFormatId[] = "{D5CDD505-2E9C-101B-9397-08002B2CF9AE}";

inline constexpr char RelBase[] = "http://schemas.openxmlformats.org/officeDocument/2006/relationships/";
inline constexpr char RelOfficeDocument[] = "officeDocument";
inline constexpr char RelWorksheet[] = "worksheet";
inline constexpr char RelStyles[] = "styles";
inline constexpr char RelSharedStrings[] = "sharedStrings";
inline constexpr char RelCalcChain[] = "calcChain";
inline constexpr char RelHyperlink[] = "hyperlink";
inline constexpr char RelDrawing[] = "drawing";
inline constexpr char RelImage[] = "image";
inline constexpr char RelCustomProperties[] = "custom-properties";
inline constexpr char RelVbaProject[] = "vbaProject";

inline constexpr char CtWorkbook[] = "application/vnd.openxmlformats-officedocument.spreadsheetml.sheet.main+xml";
inline constexpr char CtTemplate[] = "application/vnd.openxmlformats-officedocument.spreadsheetml.template.main+xml";
inline constexpr char CtWorksheet[] = "application/vnd.openxmlformats-officedocument.spreadsheetml.worksheet+xml";
inline constexpr char CtStyles[] = "application/vnd.openxmlformats-officedocument.spreadsheetml.styles+xml";
inline constexpr char CtSharedStrings[]
    = "application/vnd.openxmlformats-officedocument.spreadsheetml.sharedStrings+xml";
inline constexpr char CtDrawing[] = "application/vnd.openxmlformats-officedocument.drawing+xml";
inline constexpr char CtRelationships[] = "application/vnd.openxmlformats-package.relationships+xml";
inline constexpr char CtCustomProperties[] = "application/vnd.openxmlformats-officedocument.custom-properties+xml";
inline constexpr char CtVbaProject[] = "application/vnd.ms-office.vbaProject";

} // namespace Ooxml

} // namespace tannbuch
