#include "report/SheetLayout.h"

namespace rzt {
namespace {

using V = CellValue;

constexpr Column<FileRecord> kFile[] = {
    {1, "ﾌｧｲﾙ名", [](const FileRecord& f) { return V::of(f.fileName); }},
    {2, "ﾊﾟｯｹｰｼﾞ名", [](const FileRecord& f) { return V::of(f.packageName); }},
    {3, "全行", [](const FileRecord& f) { return V::of(f.allLoc); }},
    {4, "命令行", [](const FileRecord& f) { return V::of(f.loc); }},
    {5, "ｺﾒﾝﾄ行", [](const FileRecord& f) { return V::of(f.commentLoc); }},
    {6, "ﾌﾞﾗﾝｸ行", [](const FileRecord& f) { return V::of(f.blankLoc); }},
    {7, "ｸﾗｽ", [](const FileRecord& f) { return V::of(f.classCount); }},
    {8, "import", [](const FileRecord& f) { return V::of(f.importCount); }},
};

std::string_view classKind(const ClassRecord& c) {
  if (c.innerClass) return "inner";
  if (!c.kindText.empty()) return c.kindText;
  return c.classType ? "class" : "interface";
}

// Headings go in the order 1, 2, 3, 4, 17, 18, 5 to 9, 11, 13, 10, 12, 14 to 16.
constexpr Column<ClassRecord> kClass[] = {
    {1, "ﾊﾟｯｹｰｼﾞ名", [](const ClassRecord& c) { return V::of(c.packageName); }},
    {2, "ｸﾗｽ名", [](const ClassRecord& c) { return V::of(c.className); }},
    {3, "ﾀｲﾌﾟ", [](const ClassRecord& c) { return V::of(classKind(c)); }},
    {4, "ｱｸｾｽ", [](const ClassRecord& c) { return V::of(c.access); }},
    {17, "extends", [](const ClassRecord& c) { return V::of(c.extendsCount); }},
    {18, "implements", [](const ClassRecord& c) { return V::of(c.implementsCount); }},
    {5, "ｽﾃｰﾄﾒﾝﾄ", [](const ClassRecord& c) { return V::of(c.statementCount); }},
    {6, "公開ﾒｿｯﾄﾞ", [](const ClassRecord& c) { return V::of(c.publicInstanceMethodCount); }},
    {7, "全ﾒｿｯﾄﾞ", [](const ClassRecord& c) { return V::of(c.instanceMethodCount); }},
    {8, "公開ｸﾗｽﾒｿｯﾄﾞ", [](const ClassRecord& c) { return V::of(c.publicClassMethodCount); }},
    {9, "全ｸﾗｽﾒｿｯﾄﾞ", [](const ClassRecord& c) { return V::of(c.classMethodCount); }},
    {11, "全属性", [](const ClassRecord& c) { return V::of(c.instanceVariableCount); }},
    {13, "全ｸﾗｽ属性", [](const ClassRecord& c) { return V::of(c.classVariableCount); }},
    {10, "公開属性", [](const ClassRecord& c) { return V::of(c.publicInstanceVariableCount); }},
    {12, "公開ｸﾗｽ属性", [](const ClassRecord& c) { return V::of(c.publicClassVariableCount); }},
    {14, "定数", [](const ClassRecord& c) { return V::of(c.constantCount); }},
    {15, "ｲﾝﾅｰｸﾗｽ", [](const ClassRecord& c) { return V::of(c.innerClassCount); }},
    {16, "staticﾌﾞﾛｯｸ", [](const ClassRecord& c) { return V::of(c.staticBlockCount); }},
};

constexpr V yesWhen(bool flag) { return flag ? V::of("yes") : V::none(); }

V methodKind(const MethodRecord& m) {
  if (m.constructorMethod) return V::of("ｺﾝｽﾄﾗｸﾀ");
  if (m.staticMethod) return V::of("static");
  return V::none();
}

// Headings go in the order 1 to 7, 23, 24, 8 to 22.
constexpr Column<MethodRecord> kMethod[] = {
    {1, "ﾊﾟｯｹｰｼﾞ名", [](const MethodRecord& m) { return V::of(m.packageName); }},
    {2, "ｸﾗｽ名", [](const MethodRecord& m) { return V::of(m.className); }},
    {3, "ﾒｿｯﾄﾞ名", [](const MethodRecord& m) { return V::of(m.methodName); }},
    {4, "抽象", [](const MethodRecord& m) { return yesWhen(m.abstractMethod); }},
    {5, "ﾀｲﾌﾟ", methodKind},
    {6, "ｱｸｾｽ", [](const MethodRecord& m) { return V::of(m.access); }},
    {7, "戻り値", [](const MethodRecord& m) { return V::of(m.returnsValue ? "あり" : "なし"); }},
    {23, "final", [](const MethodRecord& m) { return yesWhen(m.finalMethod); }},
    {24, "native", [](const MethodRecord& m) { return yesWhen(m.nativeMethod); }},
    {8, "引数", [](const MethodRecord& m) { return V::of(m.argumentCount); }},
    {9, "ｽﾃｰﾄﾒﾝﾄ", [](const MethodRecord& m) { return V::of(m.statementCount); }},
    {10, "MSG送信", [](const MethodRecord& m) { return V::of(m.messagePassingCount); }},
    {11, "OBJ生成", [](const MethodRecord& m) { return V::of(m.instanciationCount); }},
    {12, "変数", [](const MethodRecord& m) { return V::of(m.localVariables); }},
    {13, "定数", [](const MethodRecord& m) { return V::of(m.localConstants); }},
    {14, "if", [](const MethodRecord& m) { return V::of(m.ifStatementCount); }},
    {15, "for", [](const MethodRecord& m) { return V::of(m.forStatementCount); }},
    {16, "while", [](const MethodRecord& m) { return V::of(m.whileStatementCount); }},
    {17, "do", [](const MethodRecord& m) { return V::of(m.doStatementCount); }},
    {18, "switch", [](const MethodRecord& m) { return V::of(m.switchStatementCount); }},
    {19, "try", [](const MethodRecord& m) { return V::of(m.tryStatementCount); }},
    {20, "return", [](const MethodRecord& m) { return V::of(m.returnStatementCount); }},
    {21, "throw", [](const MethodRecord& m) { return V::of(m.throwStatementCount); }},
    {22, "匿名ｸﾗｽ", [](const MethodRecord& m) { return V::of(m.anonymousClassCount); }},
};

V nameOrNone(const std::string* name) { return name != nullptr ? V::of(*name) : V::none(); }

constexpr Column<Finding> kDiagnosis[] = {
    {1, "ﾊﾟｯｹｰｼﾞ名", [](const Finding& f) { return V::of(f.packageName); }},
    {2, "ﾌｧｲﾙ名", [](const Finding& f) { return V::of(f.fileName); }},
    {3, "ｸﾗｽ名", [](const Finding& f) { return nameOrNone(f.className); }},
    {4, "ﾒｿｯﾄﾞ名", [](const Finding& f) { return nameOrNone(f.methodName); }},
    {5, "区分", [](const Finding& f) { return V::of(f.level); }},
    {6, "診断", [](const Finding& f) { return V::of(f.message); }},
    {7, "値", [](const Finding& f) { return V::of(f.value); }},
};

constexpr Column<SkippedFileRecord> kError[] = {
    {1, "ﾃﾞｨﾚｸﾄﾘ", [](const SkippedFileRecord& s) { return V::of(s.dirName); }},
    {2, "ﾌｧｲﾙ名", [](const SkippedFileRecord& s) { return V::of(s.fileName); }},
    {3, "番号", [](const SkippedFileRecord& s) { return V::of(static_cast<double>(s.number)); }},
    {4, "内容", [](const SkippedFileRecord& s) { return V::of(s.description); }},
    {5, "語数", [](const SkippedFileRecord& s) { return V::of(static_cast<double>(s.wordCount)); }},
};

}  // namespace

const std::span<const Column<FileRecord>> kFileColumns = kFile;
const std::span<const Column<ClassRecord>> kClassColumns = kClass;
const std::span<const Column<MethodRecord>> kMethodColumns = kMethod;
const std::span<const Column<Finding>> kDiagnosisColumns = kDiagnosis;
const std::span<const Column<SkippedFileRecord>> kErrorColumns = kError;

}  // namespace rzt
