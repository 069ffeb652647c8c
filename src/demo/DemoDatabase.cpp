// The database half of the demo suite: the organisation, the dictionary and the generated
// attendance rows (DemoSuite::fillDatabase).
#include "demo/BatchInsert.h"
#include "demo/DemoSuite.h"
#include "suite/SuiteSchema.h"
#include "suite/SuiteServices.h"

#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QSqlError>
#include <QTime>
#include <QVariant>
#include <cmath>

namespace talor {

namespace {

struct Team
{
    const char* name;
    bool hidden = false;
};

struct Group
{
    const char* name;
    std::initializer_list<Team> teams;
    bool hidden = false;
};

struct Department
{
    const char* code;
    const char* name;
    int weight; // share of the employees
    std::initializer_list<Group> groups;
    std::initializer_list<const char*> posts;
    bool hidden = false;
};

// The demo organisation. A few entries carry proval2 "*" (attendance views may leave them out).
const Department Organisation[] = {
    {"01",
     "生产部",
     40,
     {{"装配一组", {{"甲班"}, {"乙班"}, {"丙班"}}},
      {"装配二组", {{"甲班"}, {"乙班"}, {"丙班"}}},
      {"质检组", {{"甲班"}, {"乙班"}}},
      {"包装组", {{"甲班"}, {"乙班"}, {"丙班", true}}}},
     {"操作工", "操作工", "质检员", "班组长"}},
    {"02",
     "技术部",
     12,
     {{"研发组", {{"软件小组"}, {"硬件小组"}}}, {"工艺组", {{"工艺小组"}}}},
     {"工程师", "技术员"}},
    {"03", "财务部", 5, {{"会计组", {{"总账小组"}}}, {"出纳组", {{"出纳小组"}}}}, {"会计", "出纳"}},
    {"04", "人事部", 5, {{"招聘组", {{"招聘小组"}}}, {"薪酬组", {{"薪酬小组"}}}}, {"人事专员"}},
    {"05",
     "销售部",
     14,
     {{"华东组", {{"上海小组"}, {"杭州小组"}}},
      {"华南组", {{"广州小组"}, {"深圳小组"}}},
      {"华北组", {{"北京小组"}}}},
     {"销售代表", "销售经理"}},
    {"06",
     "后勤部",
     8,
     {{"食堂组", {{"早餐班"}, {"正餐班"}}}, {"保安组", {{"白班岗"}, {"夜班岗"}}, true}},
     {"厨师", "保安员", "后勤员"}},
    {"07",
     "仓储部",
     8,
     {{"原料仓", {{"收料班"}, {"发料班"}}}, {"成品仓", {{"成品班"}}}},
     {"仓管员", "叉车工"}},
    {"08", "外包部", 8, {{"保洁组", {{"保洁一班"}, {"保洁二班"}}}}, {"保洁员"}, true},
};

const char* const Surnames[] = {
    "王", "李", "张", "刘", "陈", "杨", "黄", "赵", "吴", "周", "徐", "孙", "马", "朱",   "胡",  "郭",
    "何", "高", "林", "罗", "郑", "梁", "谢", "宋", "唐", "许", "韩", "冯", "邓", "曹",   "彭",  "曾",
    "肖", "田", "董", "袁", "潘", "蒋", "蔡", "余", "杜", "叶", "程", "苏", "魏", "吕",   "丁",  "任",
    "沈", "姚", "卢", "姜", "崔", "钟", "谭", "陆", "汪", "范", "金", "石", "廖", "贾",   "夏",  "韦",
    "方", "白", "邹", "孟", "熊", "秦", "邱", "江", "尹", "薛", "段", "雷", "侯", "龙",   "史",  "陶",
    "黎", "贺", "顾", "毛", "郝", "龚", "邵", "万", "钱", "严", "武", "戴", "孔", "欧阳", "司马"};

const char* const GivenNames[] = {"伟", "芳", "娜", "敏", "静", "丽", "强", "磊", "军", "洋", "勇", "艳",
                                  "杰", "娟", "涛", "明", "超", "霞", "平", "刚", "桂", "英", "华", "玉",
                                  "兰", "萍", "红", "鹏", "辉", "建", "国", "志", "宏", "文", "斌", "云",
                                  "飞", "海", "燕", "凤", "琳", "颖", "佳", "欣", "怡", "浩", "宇", "轩",
                                  "涵", "博", "雅", "晨", "阳", "思", "远", "嘉", "慧", "俊", "晓", "东",
                                  "丹", "峰", "亮", "婷", "倩", "雪", "梅", "春", "秋", "君", "秀", "卫"};

struct Shift
{
    const char* code;
    const char* name;
    QTime start;
};

const Shift Shifts[] = {
    {"01", "白班", QTime(8, 0)}, {"02", "中班", QTime(14, 0)}, {"03", "夜班", QTime(22, 0)}};
const char* const RestShift = "00";

const char* const LeaveKinds[][2] = {
    {"1", "事假"}, {"2", "病假"}, {"3", "年假"}, {"4", "婚假"}, {"5", "调休"}};
const char* const OvertimeKinds[][2] = {{"1", "平时加班"}, {"2", "周末加班"}, {"3", "节日加班"}};

struct FieldRow
{
    const char* table;
    const char* name;
    const char* caption;
    const char* type;
    const char* format;
    int codeKind;
    int hidden;
    int unsaved;
    int pickOrder;
};

// The field dictionary. Entries with an empty table apply to every table. The display format
// of a text ("S") field is its maximum length, the size of its column.
const FieldRow Fields[] = {
    {"", "memberid", "工号", "S", "20", 0, 0, 1, 1},
    {"", "name", "姓名", "S", "40", 0, 0, 1, 2},
    {"", "depart", "部门", "S", "80", 3, 0, 0, 3},
    {"", "group0", "班组", "S", "80", 2, 0, 0, 4},
    {"", "team", "小组", "S", "80", 1, 0, 0, 5},
    {"", "czyxm", "操作员", "S", "40", 0, 0, 1, 0},
    {"KQ0001", "zhdate", "日期", "T", "yyyy-mm-dd", 0, 0, 1, 6},
    {"KQ0001", "ncolor", "异常标志", "I", "", 0, 0, 1, 0},
    {"KQ0001", "banci", "班次", "S", "80", 3, 0, 0, 7},
    {"KQ0001", "sbsj", "上班时间", "Y", "hh:nn", 0, 0, 0, 8},
    {"KQ0001", "xbsj", "下班时间", "Y", "", 0, 0, 0, 9},
    {"KQ0001", "cdfz", "迟到分钟", "I", "", 0, 0, 0, 10},
    {"KQ0001", "ztfz", "早退分钟", "I", "", 0, 0, 0, 11},
    {"KQ0001", "cqgs", "出勤工时", "D", "#0.0", 0, 0, 0, 12},
    {"KQ0001", "jbgs", "加班工时", "D", "", 0, 0, 0, 13},
    {"KQ0001", "kggs", "旷工工时", "D", "", 0, 0, 0, 14},
    {"KQ0001", "qjlb", "请假类别", "S", "80", 3, 0, 0, 15},
    {"KQ0001", "bxrq", "补休日期", "T", "", 0, 0, 0, 16},
    {"KQ0001", "bz", "备注", "S", "80", 0, 0, 0, 17},
    {"KQ0001", "kqjl", "打卡记录", "S", "80", 0, 1, 1, 0},
    {"KQ0002", "zhdate", "日期", "T", "yyyy-mm-dd", 0, 0, 1, 6},
    {"KQ0002", "jblb", "加班类别", "S", "80", 3, 0, 0, 7},
    {"KQ0002", "jbks", "加班开始", "Y", "hh:nn", 0, 0, 0, 8},
    {"KQ0002", "jbjs", "加班结束", "Y", "hh:nn", 0, 0, 0, 9},
    {"KQ0002", "jbgs", "加班工时", "D", "", 0, 0, 0, 10},
    {"KQ0002", "bz", "备注", "S", "80", 0, 0, 0, 11},
    {"YGZL", "sex", "性别", "S", "4", 0, 0, 0, 6},
    {"YGZL", "post", "岗位", "S", "40", 0, 0, 0, 7},
    {"BC0001", "code", "班次代码", "S", "10", 0, 0, 0, 1},
    {"BC0001", "name", "班次名称", "S", "20", 0, 0, 0, 2},
    {"BC0001", "sbsj", "上班时间", "Y", "hh:nn", 0, 0, 0, 3},
    {"BC0001", "xbsj", "下班时间", "Y", "hh:nn", 0, 0, 0, 4},
};

const QList<ItemColumn> DailyItems = {{"banci", "S"}, {"sbsj", "Y"}, {"xbsj", "Y"}, {"cdfz", "I"},
                                      {"ztfz", "I"},  {"cqgs", "D"}, {"jbgs", "D"}, {"kggs", "D"},
                                      {"qjlb", "S"},  {"bxrq", "T"}, {"bz", "S"},   {"kqjl", "S"}};
const QList<ItemColumn> OvertimeItems = {
    {"jblb", "S"}, {"jbks", "Y"}, {"jbjs", "Y"}, {"jbgs", "D"}, {"bz", "S"}};

QString u(const char* text)
{
    return QString::fromUtf8(text);
}

QVariant nullText()
{
    return QVariant(QMetaType::fromType<QString>());
}

QVariant nullInt()
{
    return QVariant(QMetaType::fromType<int>());
}

struct Employee
{
    QString memberid;
    QString name;
    QVariant depart, group0, team; // as stored: code or plain name, team may be null
    const Shift* shift;
};

class Generator
{
public:
    Generator(QSqlDatabase db, const DemoOptions& options) : m_db(db), m_options(options), m_rng(options.seed)
    {}

    DemoSummary run();

private:
    int pick(int n) { return int(m_rng.bounded(quint32(n))); }
    bool chance(int perThousand) { return pick(1000) < perThousand; }
    QString date(const QDate& d) const { return d.toString(Qt::ISODate); }

    void writeOrganisation();
    void writeCatalogue();
    void writeMenus();
    void writeDictionary();
    void writeEmployees();
    void writeAttendance(DemoSummary& summary);

    QSqlDatabase m_db;
    DemoOptions m_options;
    QRandomGenerator m_rng;
    QList<Employee> m_employees;
};

void Generator::writeOrganisation()
{
    BatchInsert tree(m_db, "zdb3", {"proid", "parid", "proname", "proval", "proval1", "proval2"});
    BatchInsert codes(m_db, "zdcode", {"category", "code", "name"});
    BatchInsert groups(m_db, "zdgroup", {"depart", "code", "name"});
    BatchInsert teams(m_db, "zdteam", {"depart", "group0", "code", "name"});
    auto marker = [](bool hidden) {
        return hidden ? QVariant(QStringLiteral("*")) : nullText();
    };

    int id = 1;
    const int root = id++;
    tree.add({root, 0, u("部门"), 2, 1, nullText()});
    int departmentOrder = 0;
    for (const Department& department : Organisation) {
        const int departmentId = id++;
        tree.add({departmentId, root, u(department.name), 0, ++departmentOrder, marker(department.hidden)});
        codes.add({u("部门"), u(department.code), u(department.name)});
        int groupOrder = 0;
        for (const Group& group : department.groups) {
            const int groupId = id++;
            ++groupOrder;
            tree.add({groupId, departmentId, u(group.name), 0, groupOrder, marker(group.hidden)});
            groups.add({u(department.name), QStringLiteral("%1").arg(groupOrder, 2, 10, QLatin1Char('0')),
                        u(group.name)});
            int teamOrder = 0;
            for (const Team& team : group.teams) {
                ++teamOrder;
                tree.add({id++, groupId, u(team.name), 0, teamOrder, marker(team.hidden)});
                teams.add({u(department.name), u(group.name), QString::number(teamOrder), u(team.name)});
            }
        }
    }
    // Other coded items share the tree: a root of posts with its entries.
    const int posts = id++;
    tree.add({posts, 0, u("职务"), 3, 2, nullText()});
    int postOrder = 0;
    for (const char* post : {"经理", "主管", "职员"})
        tree.add({id++, posts, u(post), 0, ++postOrder, nullText()});

    for (const Shift& shift : Shifts)
        codes.add({u("班次"), u(shift.code), u(shift.name)});
    codes.add({u("班次"), u(RestShift), u("休息")});
    for (const auto& kind : LeaveKinds)
        codes.add({u("请假类别"), u(kind[0]), u(kind[1])});
    for (const auto& kind : OvertimeKinds)
        codes.add({u("加班类别"), u(kind[0]), u(kind[1])});

    tree.finish();
    codes.finish();
    groups.finish();
    teams.finish();
}

void Generator::writeCatalogue()
{
    BatchInsert catalogue(m_db, "zdb1", {"proid", "parid", "proname", "proval"});
    catalogue.add({1, 0, u("数据库"), QStringLiteral("DATABASE")});
    catalogue.add({2, 1, u("考勤日报表"), u(DemoSuite::DailyTable)});
    catalogue.add({3, 1, u("加班记录"), u(DemoSuite::OvertimeTable)});
    catalogue.add({4, 1, u("班次表"), u(DemoSuite::ShiftTable)});
    catalogue.add({5, 1, u("员工资料"), QStringLiteral("YGZL")});
    catalogue.finish();

    // The shift table: a data table without zhdate and memberid.
    const QString time = SuiteSchema::columnType(m_db, QStringLiteral("Y"));
    SuiteSchema::execute(m_db, QStringLiteral("create table bc0001 (code varchar(10) primary key,"
                                              " name varchar(20), sbsj %1, xbsj %1)")
                                   .arg(time));
    BatchInsert shifts(m_db, "bc0001", {"code", "name", "sbsj", "xbsj"});
    for (const Shift& shift : Shifts)
        shifts.add({u(shift.code), u(shift.name), shift.start.toString("HH:mm:ss"),
                    shift.start.addSecs(9 * 3600).toString("HH:mm:ss")});
    shifts.finish();
}

void Generator::writeMenus()
{
    BatchInsert menus(m_db, "sys02", {"cdmc", "cdxh", "cdtb", "zxtm", "mkwj"});
    menus.add({u("人事资料"), 1, u("RSZL.ICO"), u("*"), u("veld.dll")});
    menus.add({u("工资计算"), 2, u("GZJS.ICO"), u(""), u("salary.dll")});
    menus.add({u("考勤统计"), 3, u("KQTJ.ICO"), u("统计*"), u("kqtj.dll")});
    menus.add({u("排班管理"), 4, nullText(), u(""), nullText()});
    menus.add({u("请假登记"), 5, u("MAILM.ICO"), u("登记"), u("qjdj.dll")});
    menus.add({u("考勤日报"), 6, nullText(), u("*"), u("talor.dll")});
    menus.add({u("系统设置"), 7, nullText(), u("系统"), u("xtsz.dll")});
    menus.finish();
}

void Generator::writeDictionary()
{
    BatchInsert fields(m_db, "zdfield",
                       {"tablecode", "fieldname", "caption", "ftype", "fformat", "codekind", "hidden",
                        "unsaved", "pickorder"});
    for (const FieldRow& f : Fields)
        fields.add({u(f.table), u(f.name), u(f.caption), u(f.type), u(f.format), f.codeKind, f.hidden,
                    f.unsaved, f.pickOrder});
    fields.finish();
}

void Generator::writeEmployees()
{
    int totalWeight = 0;
    for (const Department& department : Organisation)
        totalWeight += department.weight;

    BatchInsert employees(m_db, "ygzl", {"memberid", "name", "depart", "group0", "team", "sex", "post"});
    const int width = std::max(5, int(QString::number(m_options.employees).size()));
    for (int i = 1; i <= m_options.employees; ++i) {
        int roll = pick(totalWeight);
        const Department* department = &Organisation[0];
        for (const Department& candidate : Organisation) {
            department = &candidate;
            if (roll < candidate.weight)
                break;
            roll -= candidate.weight;
        }
        const int groupIndex = pick(int(department->groups.size()));
        const Group& group = department->groups.begin()[groupIndex];
        const int teamIndex = pick(int(group.teams.size()));
        const Team& team = group.teams.begin()[teamIndex];

        Employee e;
        e.memberid = QStringLiteral("%1").arg(i, width, 10, QLatin1Char('0'));
        e.name = u(Surnames[pick(std::size(Surnames))]) + u(GivenNames[pick(std::size(GivenNames))]);
        if (chance(600))
            e.name += u(GivenNames[pick(std::size(GivenNames))]);
        // Rows hold the code or the plain name, each column on its own.
        e.depart = chance(500) ? u(department->code) : u(department->name);
        e.group0 =
            chance(500) ? QStringLiteral("%1").arg(groupIndex + 1, 2, 10, QLatin1Char('0')) : u(group.name);
        if (chance(20))
            e.team = nullText();
        else
            e.team = chance(500) ? QString::number(teamIndex + 1) : u(team.name);
        // A few employees are not placed in a team, a group or a department at all.
        if (i % 29 == 7) {
            e.depart = e.group0 = e.team = nullText();
        } else if (i % 13 == 5) {
            e.group0 = e.team = nullText();
        }
        // Production teams work in three shifts, and so do the night guards.
        const bool shifts = QByteArray(department->code) == "01" || QByteArray(team.name) == "夜班岗";
        e.shift = shifts ? &Shifts[QByteArray(team.name) == "夜班岗" ? 2 : teamIndex % 3] : &Shifts[0];
        const QString sex = chance(550) ? u("男") : u("女");
        const QString post = u(department->posts.begin()[pick(int(department->posts.size()))]);
        employees.add({e.memberid, e.name, e.depart, e.group0, e.team, sex, post});
        m_employees.append(e);
    }
    employees.finish();
}

void Generator::writeAttendance(DemoSummary& summary)
{
    QStringList dailyColumns{"memberid", "zhdate", "name", "depart", "group0", "team", "czyxm", "ncolor"};
    for (const ItemColumn& item : DailyItems)
        dailyColumns << item.name;
    QStringList overtimeColumns{"memberid", "zhdate", "name", "depart", "group0", "team", "czyxm", "ncolor"};
    for (const ItemColumn& item : OvertimeItems)
        overtimeColumns << item.name;
    BatchInsert daily(m_db, QString::fromLatin1(DemoSuite::DailyTable).toLower(), dailyColumns);
    BatchInsert overtime(m_db, QString::fromLatin1(DemoSuite::OvertimeTable).toLower(), overtimeColumns);

    const QString operatorName = u(DemoSuite::OperatorName);
    auto time = [](const QTime& t) {
        return QVariant(t.toString(QStringLiteral("HH:mm:ss")));
    };
    auto hours = [](double h) {
        return std::round(h * 10.0) / 10.0;
    };

    int done = 0;
    for (const Employee& e : std::as_const(m_employees)) {
        if (m_options.progress)
            m_options.progress(done++, int(m_employees.size()));
        for (int dayIndex = 0; dayIndex < m_options.days; ++dayIndex) {
            const QDate day = m_options.from.addDays(dayIndex);
            const bool restDay = !DemoSuite::isWorkingDay(day);
            const QTime start = e.shift->start;
            const QTime end = start.addSecs(9 * 3600);

            QVariant banci = u(e.shift->code), in = nullText(), out = nullText(), qjlb = nullText(),
                     bxrq = nullText(), bz = nullText(), kqjl = nullText(), czyxm = nullText();
            QVariant ncolor = 0;
            int late = 0, early = 0;
            double worked = 0, extra = 0, absent = 0;
            QString overtimeKind;

            if (restDay) {
                banci = u(RestShift);
                ncolor = nullInt();
                if (chance(50)) {
                    overtimeKind = DemoSuite::isHoliday(day) ? u("3") : u("2");
                    extra = chance(500) ? 8.0 : 4.0;
                    in = time(QTime(9, 0).addSecs(-pick(900)));
                    out = time(QTime(9, 0).addSecs(int(extra * 3600) + pick(1800)));
                }
            } else {
                const int roll = pick(1000);
                if (roll < 20) { // absence
                    ncolor = 3;
                    absent = 8.0;
                    bz = u("旷工");
                    czyxm = operatorName;
                } else if (roll < 60) { // late
                    ncolor = 1;
                    late = 1 + pick(45);
                    in = time(start.addSecs(late * 60 + pick(60)));
                    out = time(end.addSecs(pick(1800)));
                    worked = hours((480.0 - late) / 60.0);
                    bz = u("迟到%1分钟").arg(late);
                    czyxm = operatorName;
                } else if (roll < 85) { // early leave
                    ncolor = 2;
                    early = 5 + pick(56);
                    in = time(start.addSecs(-pick(1200)));
                    out = time(end.addSecs(-early * 60 - pick(60)));
                    worked = hours((480.0 - early) / 60.0);
                    bz = u("早退%1分钟").arg(early);
                    czyxm = operatorName;
                } else if (roll < 110) { // leave
                    const auto& kind = LeaveKinds[pick(std::size(LeaveKinds))];
                    qjlb = u(kind[0]);
                    if (QByteArray(kind[0]) == "5")
                        bxrq = date(day.addDays(-7 - pick(24)));
                } else {
                    in = time(start.addSecs(-pick(1200)));
                    out = time(end.addSecs(pick(1800)));
                    worked = 8.0;
                    if (chance(100)) {
                        overtimeKind = u("1");
                        extra = 1.0 + 0.5 * pick(5);
                        out = time(end.addSecs(int(extra * 3600) + pick(900)));
                    }
                }
            }
            if (!in.isNull() && !out.isNull())
                kqjl = QString(in.toString() + QLatin1Char(',') + out.toString());

            daily.add({e.memberid, date(day), e.name, e.depart, e.group0, e.team, czyxm,
                       ncolor,     banci,     in,     out,      late,     early,  worked,
                       extra,      absent,    qjlb,   bxrq,     bz,       kqjl});
            if (!overtimeKind.isEmpty()) {
                const QTime overtimeStart = restDay ? QTime(9, 0) : end;
                overtime.add({e.memberid, date(day), e.name, e.depart, e.group0, e.team, nullText(),
                              nullInt(), overtimeKind, time(overtimeStart),
                              time(overtimeStart.addSecs(int(extra * 3600))), extra, nullText()});
            }
        }
    }
    daily.finish();
    overtime.finish();
    summary.attendanceRows = daily.rowCount();
    summary.overtimeRows = overtime.rowCount();
}

DemoSummary Generator::run()
{
    DemoSummary summary;
    summary.employees = m_options.employees;
    summary.days = m_options.days;
    SuiteSchema::dropTables(m_db, {DemoSuite::DailyTable, DemoSuite::OvertimeTable, DemoSuite::ShiftTable});
    SuiteSchema::createSuiteTables(m_db);
    SuiteSchema::createAttendanceTable(m_db, DemoSuite::DailyTable, DailyItems);
    SuiteSchema::createAttendanceTable(m_db, DemoSuite::OvertimeTable, OvertimeItems);
    writeOrganisation();
    writeCatalogue();
    writeMenus();
    writeDictionary();
    writeEmployees();
    writeAttendance(summary);
    return summary;
}

} // namespace

void DemoSuite::checkOptions(const DemoOptions& options)
{
    if (options.employees < 1)
        throw SuiteError(
            QStringLiteral("the number of employees must be at least 1 (given %1)").arg(options.employees));
    if (options.days < 1)
        throw SuiteError(
            QStringLiteral("the number of days must be at least 1 (given %1)").arg(options.days));
    if (!options.from.isValid())
        throw SuiteError(QStringLiteral("the first day of the demo data is not a valid date"));
}

DemoSummary DemoSuite::fillDatabase(QSqlDatabase db, const DemoOptions& options)
{
    checkOptions(options);
    QElapsedTimer clock;
    clock.start();
    if (!db.transaction())
        throw SuiteError(QStringLiteral("cannot start a transaction on %1: %2")
                             .arg(db.databaseName(), db.lastError().text()));
    DemoSummary summary;
    try {
        summary = Generator(db, options).run();
    } catch (...) {
        db.rollback();
        throw;
    }
    if (!db.commit()) {
        const QString error = db.lastError().text();
        db.rollback();
        throw SuiteError(
            QStringLiteral("cannot commit the demo data to %1: %2").arg(db.databaseName(), error));
    }
    summary.seconds = clock.elapsed() / 1000.0;
    return summary;
}

bool DemoSuite::isHoliday(const QDate& d)
{
    return (d.month() == 1 && d.day() == 1) || (d.month() == 5 && d.day() == 1) ||
           (d.month() == 10 && d.day() <= 3);
}

bool DemoSuite::isWorkingDay(const QDate& d)
{
    return d.dayOfWeek() < 6 && !isHoliday(d);
}

QDate DemoSuite::firstWorkingDay(const QDate& from)
{
    QDate d = from;
    while (!isWorkingDay(d))
        d = d.addDays(1);
    return d;
}

} // namespace talor
