// A second measurement of the syntax-tree analysis's definitions, from the
// Java compiler's own parse trees (com.sun.source.tree, parse only, names as
// written) and its own tokenizer for the line counts. Prints the same TSV
// lines as rzt-modern-dump, in the same order: M (method) and C (class)
// records as they finish, then F (file). Files with syntax errors get an F
// line with their error count only.
// Usage: java --add-exports ... JavacCheck.java FILE... | -  (names on stdin)
import com.sun.source.tree.*;
import com.sun.source.util.JavacTask;
import com.sun.source.util.TreeScanner;
import com.sun.tools.javac.api.JavacTaskImpl;
import com.sun.tools.javac.code.Flags;
import com.sun.tools.javac.parser.Scanner;
import com.sun.tools.javac.parser.ScannerFactory;
import com.sun.tools.javac.parser.Tokens;
import com.sun.tools.javac.tree.JCTree;
import com.sun.tools.javac.util.Context;
import com.sun.tools.javac.util.Log;

import javax.tools.*;
import java.io.*;
import java.nio.charset.StandardCharsets;
import java.nio.file.*;
import java.util.*;

public class JavacCheck {
    static final class TypeRec {
        String name = "???", simple = "", kind = "class", access = "package";
        boolean interfaceLike, inner, annotation;
        int ext, impl, stmts, pim, im, pcm, cm, piv, iv, pcv, cv, consts, inners, blocks;
        int components;
    }

    static final class MethodRec {
        String cls = "", name = "", access = "package";
        boolean ctor, isStatic, isAbstract, isFinal, isNative, isSync, returns;
        int args, throwsN, stmts, sends, creations, vars, consts, ifs, fors, whiles, dos, switches, tries, returnsN, throwN, anons;
    }

    final PrintStream out;
    String path;
    final ArrayList<Object> frames = new ArrayList<>();

    JavacCheck(PrintStream out) { this.out = out; }

    Object top() { return frames.isEmpty() ? null : frames.get(frames.size() - 1); }

    TypeRec nearestType() {
        for (int i = frames.size() - 1; i >= 0; i--) if (frames.get(i) instanceof TypeRec) return (TypeRec) frames.get(i);
        return null;
    }

    static long flags(ModifiersTree m) { return m == null ? 0 : ((JCTree.JCModifiers) m).flags; }

    static String access(long f) {
        if ((f & Flags.PUBLIC) != 0) return "public";
        if ((f & Flags.PROTECTED) != 0) return "protected";
        if ((f & Flags.PRIVATE) != 0) return "private";
        return null;
    }

    // ---- types ----

    void typeDecl(ClassTree c, boolean member, String anonymousName) {
        TypeRec enclosing = nearestType();
        boolean inner = !frames.isEmpty();
        TypeRec t = new TypeRec();
        t.inner = inner;
        String prefix = enclosing == null ? "" : enclosing.name;
        if (anonymousName != null) {
            if (top() instanceof MethodRec) ((MethodRec) top()).anons++;
            t.name = prefix + "$" + anonymousName;
            t.access = "private";
            t.kind = "inner";
        } else {
            Tree.Kind k = c.getKind();
            t.interfaceLike = k == Tree.Kind.INTERFACE || k == Tree.Kind.ANNOTATION_TYPE;
            t.annotation = k == Tree.Kind.ANNOTATION_TYPE;
            t.simple = c.getSimpleName().toString();
            t.name = inner ? prefix + "$" + t.simple : t.simple;
            if (inner) t.kind = "inner";
            else t.kind = switch (k) {
                case INTERFACE -> "interface";
                case ENUM -> "enum";
                case RECORD -> "record";
                case ANNOTATION_TYPE -> "annotation";
                default -> "class";
            };
            long f = flags(c.getModifiers());
            String a = access(f);
            t.access = a != null ? a : member && enclosing.interfaceLike ? "public" : inner ? "private" : "package";
            if (k == Tree.Kind.CLASS) t.ext = c.getExtendsClause() != null ? 1 : 0;
            if (k == Tree.Kind.INTERFACE) t.ext = c.getImplementsClause().size();
            else if (k != Tree.Kind.ANNOTATION_TYPE) t.impl = c.getImplementsClause().size();
            if (member) enclosing.inners++;
        }
        frames.add(t);
        members(c, t);
        frames.remove(frames.size() - 1);
        out.printf("C\t%s\t%s\t%s\t%s\t%d\t%d\t%d\t%d\t%d\t%d\t%d\t%d\t%d\t%d\t%d\t%d\t%d\t%d%n", path, t.name, t.kind,
                t.access, t.ext, t.impl, t.stmts, t.pim, t.im, t.pcm, t.cm, t.piv, t.iv, t.pcv, t.cv, t.consts, t.inners,
                t.blocks);
    }

    void members(ClassTree c, TypeRec t) {
        for (Tree m : c.getMembers()) {
            if (m instanceof JCTree.JCVariableDecl v && (v.mods.flags & Flags.RECORD) != 0) t.components++;
        }
        ModifiersTree lastFieldMods = null;
        for (Tree m : c.getMembers()) {
            switch (m.getKind()) {
                case VARIABLE -> {
                    VariableTree v = (VariableTree) m;
                    long f = flags(v.getModifiers());
                    boolean enumConstant = (f & Flags.ENUM) != 0;
                    // Declarators of one declaration share their modifiers.
                    if (enumConstant || v.getModifiers() != lastFieldMods) {
                        t.stmts++;
                        if ((f & Flags.FINAL) != 0 || t.interfaceLike) t.consts++;
                        else if ((f & Flags.STATIC) != 0) { t.cv++; if ((f & Flags.PUBLIC) != 0) t.pcv++; }
                        else { t.iv++; if ((f & Flags.PUBLIC) != 0) t.piv++; }
                    }
                    lastFieldMods = enumConstant ? null : v.getModifiers();
                    ExpressionTree init = v.getInitializer();
                    if (enumConstant && init instanceof NewClassTree nc) {
                        body.scan(nc.getArguments(), null);
                        if (nc.getClassBody() != null) typeDecl(nc.getClassBody(), false, v.getName().toString());
                    } else if (init != null) {
                        body.scan(init, null);
                    }
                }
                case METHOD -> method((MethodTree) m, t);
                case BLOCK -> { t.blocks++; body.scan(m, null); }
                case CLASS, INTERFACE, ENUM, RECORD, ANNOTATION_TYPE -> typeDecl((ClassTree) m, true, null);
                default -> { }
            }
        }
    }

    // ---- methods ----

    void method(MethodTree m, TypeRec t) {
        MethodRec r = new MethodRec();
        r.cls = t.name;
        long f = flags(m.getModifiers());
        boolean compact = (f & Flags.COMPACT_RECORD_CONSTRUCTOR) != 0;
        r.ctor = m.getName().contentEquals("<init>");
        r.name = r.ctor ? t.simple : m.getName().toString();
        r.isStatic = (f & Flags.STATIC) != 0;
        r.isFinal = (f & Flags.FINAL) != 0;
        r.isNative = (f & Flags.NATIVE) != 0;
        r.isSync = (f & Flags.SYNCHRONIZED) != 0;
        boolean annotationElement = t.annotation;
        r.isAbstract = (f & Flags.ABSTRACT) != 0 || annotationElement || (t.interfaceLike && m.getBody() == null);
        String a = access(f);
        r.access = a != null ? a : t.interfaceLike ? "public" : "package";
        Tree rt = m.getReturnType();
        r.returns = !r.ctor && !(rt instanceof PrimitiveTypeTree p && p.getPrimitiveTypeKind() == javax.lang.model.type.TypeKind.VOID);
        r.args = compact ? t.components : m.getParameters().size();
        r.throwsN = m.getThrows().size();
        frames.add(r);
        if (m.getBody() != null) body.scan(m.getBody(), null);
        frames.remove(frames.size() - 1);
        out.printf("M\t%s\t%s\t%s\t%s\t%s\t%s\t%s\t%s\t%s\t%s\t%d\t%d\t%d\t%d\t%d\t%d\t%d\t%d\t%d\t%d\t%d\t%d\t%d\t%d\t%d\t%d%n",
                path, r.cls, r.name, r.isAbstract ? "yes" : "", r.ctor ? "ctor" : r.isStatic ? "static" : "", r.access,
                r.returns ? "yes" : "no", r.isFinal ? "yes" : "", r.isNative ? "yes" : "", r.isSync ? "yes" : "", r.args,
                r.throwsN, r.stmts, r.sends, r.creations, r.vars, r.consts, r.ifs, r.fors, r.whiles, r.dos, r.switches,
                r.tries, r.returnsN, r.throwN, r.anons);
        t.stmts += r.stmts;
        boolean pub = r.access.equals("public");
        if (r.isStatic) { t.cm++; if (pub) t.pcm++; } else { t.im++; if (pub) t.pim++; }
    }

    // ---- bodies ----

    void statement(String kind) {
        Object h = top();
        if (h instanceof TypeRec t) { t.stmts++; return; }
        if (!(h instanceof MethodRec m)) return;
        m.stmts++;
        switch (kind) {
            case "if" -> m.ifs++;
            case "for" -> m.fors++;
            case "while" -> m.whiles++;
            case "do" -> m.dos++;
            case "switch" -> m.switches++;
            case "try" -> m.tries++;
            case "return" -> m.returnsN++;
            case "throw" -> m.throwN++;
            default -> { }
        }
    }

    MethodRec method() { return top() instanceof MethodRec m ? m : null; }

    final TreeScanner<Void, Void> body = new TreeScanner<Void, Void>() {
        void statements(List<? extends StatementTree> list) {
            ModifiersTree last = null;
            for (StatementTree s : list) {
                if (s instanceof VariableTree v) {
                    if (v.getModifiers() != last) {
                        statement("var");
                        MethodRec m = method();
                        if (m != null) { if ((flags(v.getModifiers()) & Flags.FINAL) != 0) m.consts++; else m.vars++; }
                    }
                    last = v.getModifiers();
                    scan(v.getInitializer(), null);
                } else {
                    last = null;
                    scan(s, null);
                }
            }
        }

        @Override public Void visitBlock(BlockTree b, Void p) { statements(b.getStatements()); return null; }
        @Override public Void visitVariable(VariableTree v, Void p) { scan(v.getInitializer(), null); return null; }
        @Override public Void visitClass(ClassTree c, Void p) { typeDecl(c, false, null); return null; }
        @Override public Void visitExpressionStatement(ExpressionStatementTree s, Void p) { statement("expr"); return super.visitExpressionStatement(s, p); }
        @Override public Void visitIf(IfTree s, Void p) { statement("if"); return super.visitIf(s, p); }
        @Override public Void visitWhileLoop(WhileLoopTree s, Void p) { statement("while"); return super.visitWhileLoop(s, p); }
        @Override public Void visitDoWhileLoop(DoWhileLoopTree s, Void p) { statement("do"); return super.visitDoWhileLoop(s, p); }
        @Override public Void visitEnhancedForLoop(EnhancedForLoopTree s, Void p) { statement("for"); scan(s.getExpression(), null); scan(s.getStatement(), null); return null; }
        @Override public Void visitForLoop(ForLoopTree s, Void p) {
            statement("for");
            for (StatementTree i : s.getInitializer()) headerPart(i);
            scan(s.getCondition(), null);
            for (StatementTree u : s.getUpdate()) headerPart(u);
            scan(s.getStatement(), null);
            return null;
        }
        void headerPart(StatementTree t) {
            if (t instanceof ExpressionStatementTree e) scan(e.getExpression(), null);
            else if (t instanceof VariableTree v) scan(v.getInitializer(), null);
            else scan(t, null);
        }
        @Override public Void visitTry(TryTree s, Void p) {
            statement("try");
            for (Tree r : s.getResources()) scan(r, null);
            scan(s.getBlock(), null);
            for (CatchTree c : s.getCatches()) scan(c.getBlock(), null);
            scan(s.getFinallyBlock(), null);
            return null;
        }
        @Override public Void visitSynchronized(SynchronizedTree s, Void p) { statement("sync"); return super.visitSynchronized(s, p); }
        @Override public Void visitReturn(ReturnTree s, Void p) { statement("return"); return super.visitReturn(s, p); }
        @Override public Void visitThrow(ThrowTree s, Void p) { statement("throw"); return super.visitThrow(s, p); }
        @Override public Void visitYield(YieldTree s, Void p) { statement("yield"); return super.visitYield(s, p); }
        @Override public Void visitBreak(BreakTree s, Void p) { statement("break"); return null; }
        @Override public Void visitContinue(ContinueTree s, Void p) { statement("continue"); return null; }
        @Override public Void visitAssert(AssertTree s, Void p) { statement("assert"); return super.visitAssert(s, p); }
        @Override public Void visitSwitch(SwitchTree s, Void p) { statement("switch"); scan(s.getExpression(), null); for (CaseTree c : s.getCases()) caseTree(c); return null; }
        @Override public Void visitSwitchExpression(SwitchExpressionTree s, Void p) {
            MethodRec m = method();
            if (m != null) m.switches++;
            scan(s.getExpression(), null);
            for (CaseTree c : s.getCases()) caseTree(c);
            return null;
        }
        void caseTree(CaseTree c) {
            scan(c.getExpressions(), null);
            if (c.getCaseKind() == CaseTree.CaseKind.RULE) {
                Tree b = c.getBody();
                // The expression after "->" is no statement.
                if (b instanceof ExpressionStatementTree e) scan(e.getExpression(), null);
                else scan(b, null);
            } else {
                statements(c.getStatements());
            }
        }
        @Override public Void visitMethodInvocation(MethodInvocationTree e, Void p) { MethodRec m = method(); if (m != null) m.sends++; return super.visitMethodInvocation(e, p); }
        @Override public Void visitNewClass(NewClassTree e, Void p) {
            scan(e.getEnclosingExpression(), null);
            scan(e.getArguments(), null);
            if (e.getClassBody() == null) {
                MethodRec m = method();
                if (m != null) { m.sends++; m.creations++; }
                return null;
            }
            typeDecl(e.getClassBody(), false, simpleName(e.getIdentifier()));
            return null;
        }
        @Override public Void visitNewArray(NewArrayTree e, Void p) { MethodRec m = method(); if (m != null && e.getType() != null) m.creations++; return super.visitNewArray(e, p); }
        @Override public Void visitMemberReference(MemberReferenceTree e, Void p) { scan(e.getQualifierExpression(), null); return null; }
        @Override public Void visitLambdaExpression(LambdaExpressionTree e, Void p) { scan(e.getBody(), null); return null; }
        @Override public Void visitBindingPattern(BindingPatternTree e, Void p) { return null; }
    };

    static String simpleName(Tree t) {
        while (true) {
            if (t instanceof IdentifierTree i) return i.getName().toString();
            if (t instanceof MemberSelectTree s) return s.getIdentifier().toString();
            if (t instanceof ParameterizedTypeTree pt) { t = pt.getType(); continue; }
            if (t instanceof AnnotatedTypeTree at) { t = at.getUnderlyingType(); continue; }
            return t.toString();
        }
    }

    // ---- files ----

    void file(CompilationUnitTree cu, String content, Context context, JavaFileObject fo) {
        frames.clear();
        int classCount = 0;
        for (Tree t : cu.getTypeDecls()) {
            if (t instanceof ClassTree c) {
                classCount++;
                typeDecl(c, false, null);
            }
        }
        String pkg = cu.getPackageName() == null ? "" : cu.getPackageName().toString();
        int[] lines = lines(content, context, fo);
        out.printf("F\t%s\t%s\t%d\t%d\t%d\t%d\t%d\t%d\t%d%n", path, pkg, lines[0], lines[1], lines[2], lines[3], classCount,
                cu.getImports().size(), 0);
    }

    static boolean isWhite(char c) { return c == ' ' || c == '\t' || c == '\f'; }

    // all, statement, comment, blank: code is what the tokenizer makes tokens
    // of; any other non-white character lies in a comment.
    static int[] lines(String content, Context context, JavaFileObject fo) {
        boolean[] code = new boolean[content.length() + 1];
        Log.instance(context).useSource(fo);
        Scanner s = ScannerFactory.instance(context).newScanner(content, false);
        for (s.nextToken(); s.token().kind != Tokens.TokenKind.EOF; s.nextToken()) {
            Tokens.Token t = s.token();
            for (int i = t.pos; i < t.endPos && i < content.length(); i++) code[i] = true;
        }
        int all = 0, loc = 0, com = 0, blank = 0;
        boolean hasCode = false, hasComment = false, nonEmpty = false;
        int n = content.length();
        for (int i = 0; i < n; i++) {
            char c = content.charAt(i);
            if (c == '\n' || c == '\r') {
                if (c == '\r' && i + 1 < n && content.charAt(i + 1) == '\n') i++;
                all++; if (hasCode) loc++; if (hasComment) com++; if (!hasCode && !hasComment) blank++;
                hasCode = hasComment = nonEmpty = false;
                continue;
            }
            nonEmpty = true;
            if (isWhite(c)) continue;
            if (code[i]) hasCode = true; else hasComment = true;
        }
        if (nonEmpty) { all++; if (hasCode) loc++; if (hasComment) com++; if (!hasCode && !hasComment) blank++; }
        return new int[] {all, loc, com, blank};
    }

    public static void main(String[] args) throws Exception {
        List<String> files = new ArrayList<>();
        for (String a : args) {
            if (a.equals("-")) {
                BufferedReader r = new BufferedReader(new InputStreamReader(System.in, StandardCharsets.UTF_8));
                for (String l; (l = r.readLine()) != null; ) if (!l.isEmpty()) files.add(l);
            } else files.add(a);
        }
        PrintStream out = new PrintStream(new BufferedOutputStream(new FileOutputStream(FileDescriptor.out)), false, StandardCharsets.UTF_8);
        JavaCompiler compiler = ToolProvider.getSystemJavaCompiler();
        for (String f : files) {
            String content = Files.readString(Path.of(f), StandardCharsets.UTF_8);
            DiagnosticCollector<JavaFileObject> diags = new DiagnosticCollector<>();
            JavaFileObject fo = new SimpleJavaFileObject(Path.of(f).toUri(), JavaFileObject.Kind.SOURCE) {
                @Override public CharSequence getCharContent(boolean ignore) { return content; }
            };
            JavacTask task = (JavacTask) compiler.getTask(null, null, diags, List.of("-proc:none", "--release", "17"), null, List.of(fo));
            Iterable<? extends CompilationUnitTree> units = task.parse();
            long errors = diags.getDiagnostics().stream().filter(d -> d.getKind() == Diagnostic.Kind.ERROR).count();
            JavacCheck check = new JavacCheck(out);
            check.path = f;
            if (errors > 0) {
                out.printf("F\t%s\t\t0\t0\t0\t0\t0\t0\t%d%n", f, errors);
                continue;
            }
            for (CompilationUnitTree cu : units) check.file(cu, content, ((JavacTaskImpl) task).getContext(), fo);
        }
        out.flush();
    }
}
