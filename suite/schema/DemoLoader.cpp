// The demo archive's values, generated from a seed; the backends only differ in how rows are
// written (DemoRowSink).
#include "suite/schema/DemoLoader.h"

#include "suite/schema/DemoNamePools.h"
#include "suite/schema/DemoRandom.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <string>
#include <vector>

namespace perikon::suite::internal {

namespace {

// Fixed base-code ids (see the account schema).
constexpr int kSexMale = 6, kSexFemale = 7, kSexUnknown = 8;
constexpr int kMarried = 9, kSingle = 10, kMarriageUnknown = 11, kDivorced = 250;

// Days since 1970-01-01 of a civil date, and back (proleptic Gregorian calendar).
int daysFromCivil(int y, int m, int d)
{
    y -= m <= 2;
    const int era = (y >= 0 ? y : y - 399) / 400;
    const int yoe = y - era * 400;
    const int doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const int doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

std::string dateTimeText(int days, int secondsOfDay = 0)
{
    const int z = days + 719468;
    const int era = (z >= 0 ? z : z - 146096) / 146097;
    const int doe = z - era * 146097;
    const int yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const int doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const int mp = (5 * doy + 2) / 153;
    const int d = doy - (153 * mp + 2) / 5 + 1;
    const int m = mp + (mp < 10 ? 3 : -9);
    const int y = yoe + era * 400 + (m <= 2);
    char buffer[48];
    std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02d %02d:%02d:%02d", y, m, d,
                  secondsOfDay / 3600, secondsOfDay / 60 % 60, secondsOfDay % 60);
    return buffer;
}

std::string padded(long long value, int width)
{
    std::string digits = std::to_string(value);
    if (int(digits.size()) < width)
        digits.insert(0, std::size_t(width - int(digits.size())), '0');
    return digits;
}

std::string digits(DemoRandom &random, int count)
{
    std::string text(std::size_t(count), '0');
    for (char &c : text)
        c = char('0' + random.below(10));
    return text;
}

std::string lower(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return char(std::tolower(c)); });
    return text;
}

// Registry-format GUID from the seeded generator, so OIDs repeat with the seed.
// Contact OIDs are lower case: record XML lower-cases attribute values, and an OID must match
// itself whichever way it travelled.
std::string guidText(DemoRandom &random)
{
    const std::uint64_t a = random.next(), b = random.next();
    char buffer[40];
    std::snprintf(buffer, sizeof buffer, "{%08x-%04x-%04x-%04x-%012llx}", unsigned(a >> 32),
                  unsigned((a >> 16) & 0xFFFF), unsigned(a & 0xFFFF), unsigned(b >> 48),
                  static_cast<unsigned long long>(b & 0xFFFFFFFFFFFFull));
    return buffer;
}

struct Employee
{
    std::string code;
    std::string name;
    std::string department;
};

struct Company
{
    std::string code;
    std::string name;
    std::string abbreviation;
    std::string domain;
    std::string address;
    std::string zip;
    std::string phone;
    std::string areaCode;
    bool english = false;
    const Employee *principal = nullptr;
};

struct Contact
{
    std::string oid, code, name, appellation, duty, taste, birthday, native, superior;
    std::string mobile, office, home, qq, email, wechat, homeAddress, memo, endDate, level;
    std::string created, alias;
    int sex = kSexUnknown;
    int marriage = kMarriageUnknown;
    int yearsInTrade = 0; // 0: not filled
    bool major = false;
    bool isDefault = false;
    long long version = 0;
};

class DemoLoader
{
public:
    DemoLoader(DemoRowSink &sink, std::uint64_t seed)
        : m_sink(sink)
        , m_random(seed)
    {}

    DemoDataSummary load(int contactCount)
    {
        DemoDataSummary summary;
        summary.departments = loadDepartments();
        summary.persons = loadEmployees(std::clamp(contactCount / 2000 + 8, 8, 300));
        enableUserDefinedItems();

        const auto customer = m_sink.rows(
            "Customer",
            "cCusCode, iId, cCusName, cCusAbbName, cTrade, cCusAddress, cCusPostCode,"
            " cCusPhone, cCusEmail, cCusPerson, cCusHand, cCusPPerson, cCusDepart, ccuscontactcode,"
            " dCusDevDate, cCreatePerson, dCusCreateDatetime");
        const auto contact = m_sink.rows(
            "Crm_Contact",
            "OID, cContactCode, cContactName, cCusCode, cAppellation, bcSexID,"
            " bcMarriageID, bcDutyID, bcTasteID, dBirthday, cNative, cSuperiorID, cPrincipal, cConDepart,"
            " cMobilePhone, cOfficePhone, cHomePhone, cCall, cEmail, cWorkAddress, cZipcode, cHomeAddress,"
            " cWechat, bMajor, cMemo, dConEDate, cConDefine1, cConDefine11, bDefaultCon, dCreateDate,"
            " cCreator, qzts");
        const auto extension
            = m_sink.rows("Crm_Contact_extradefine", "OID, cContactCode, cLDefine1");
        const auto opportunity = m_sink.rows(
            "Crm_Opportunity", "cOppCode, cOppName, cCusCode, cContactCode, dExpectDate,"
                               " mExpectAmount, iStage, cPrincipal, dCreateDate");
        m_customer = customer.get();
        m_contact = contact.get();
        m_extension = extension.get();
        m_opportunity = opportunity.get();
        const auto deliveryAddress
            = m_sink.rows("CusDeliverAdd", "cCusCode, cDeliverAdd, cLinkMan, bDefault");
        m_deliveryAddress = deliveryAddress.get();

        int remaining = contactCount;
        int customerIndex = 0;
        while (remaining > 0) {
            ++customerIndex;
            // Now and then a customer without contacts, as in any real archive.
            const int size
                = customerIndex % 25 == 0 ? 0 : std::min(remaining, m_random.between(1, 9));
            loadCustomer(customerIndex, size);
            remaining -= size;
        }
        summary.customers = customerIndex;
        summary.contacts = m_nextContactCode - 1;
        summary.opportunities = m_nextOpportunity - 1;
        return summary;
    }

    long long lastVersion() const { return m_version; }
    void setFirstVersion(long long last) { m_version = last; }

private:
    int loadDepartments()
    {
        const auto insert
            = m_sink.rows("Department", "cDepCode, cDepName, iDepGrade, bDepEnd, dDepBeginDate");
        for (const auto &department : internal::kDepartments) {
            insert->text(1, department.code);
            insert->text(2, department.name);
            insert->integer(3, 1);
            insert->integer(4, 1);
            insert->text(5, "2015-01-01 00:00:00");
            insert->run();
        }
        return int(internal::kDepartments.size());
    }

    int loadEmployees(int count)
    {
        const auto personRows
            = m_sink.rows("Person", "cPersonCode, cPersonName, cDepCode, cPersonEmail,"
                                    " cPersonPhone, dPValidDate");
        const auto hrPersonRows
            = m_sink.rows("hr_hi_person", "cPsn_Num, cPsn_Name, cDept_num, rSex,"
                                          " cPsnMobilePhone, cPsnEmail, dEnterDate");
        DemoRows &person = *personRows;
        DemoRows &hrPerson = *hrPersonRows;
        for (int i = 1; i <= count; ++i) {
            const bool male = m_random.percent(55);
            const auto &family = m_random.pick(internal::kFamilyNames);
            const auto &given = m_random.pick(male ? internal::kMaleGiven : internal::kFemaleGiven);
            Employee employee{padded(1000 + i, 4), std::string(family.hanzi) + given.hanzi,
                              m_random.pick(internal::kDepartments).code};
            const std::string email = std::string(given.pinyin) + "." + family.pinyin + padded(i, 0)
                                      + "@perikon-demo.cn";
            const std::string mobile = mobileNumber();
            const std::string entered
                = dateTimeText(daysFromCivil(2010, 1, 1) + m_random.below(5000));
            person.text(1, employee.code);
            person.text(2, employee.name);
            person.text(3, employee.department);
            person.text(4, email);
            person.text(5, mobile);
            person.text(6, entered);
            person.run();
            hrPerson.text(1, employee.code);
            hrPerson.text(2, employee.name);
            hrPerson.text(3, employee.department);
            hrPerson.text(4, male ? "男" : "女");
            hrPerson.text(5, mobile);
            hrPerson.text(6, email);
            hrPerson.text(7, entered);
            hrPerson.run();
            m_employees.push_back(std::move(employee));
        }
        return count;
    }

    // Puts a few of the contact archive's user-defined items to use.
    void enableUserDefinedItems()
    {
        m_sink.exec(
            "UPDATE userdef SET cItemName = '联系人级别', bCheckVal = 1, iLength = 20"
            " WHERE cClass = '联系人' AND CItem = '自定义项1';"
            "UPDATE userdef SET cItemName = '从业年限' WHERE cClass = '联系人' AND CItem = '自定义项11';"
            "UPDATE userdef SET cItemName = '英文名', iLength = 60"
            " WHERE cClass = '联系人' AND CItem = '扩展自定义项1';"
            "DELETE FROM userdefine WHERE cId IN ('301', '303', '304');"
            "INSERT INTO userdefine (cId, cValue, cAlias) VALUES ('301', '重要', 'A'),"
            " ('301', '一般', 'B'), ('301', '普通', 'C');"
            // An introducer picked from the persons.
            "UPDATE userdef SET cItemName = '介绍人', iDataSource = 1, cRelArchive = 'Person',"
            " cRelField = 'cPersonName' WHERE cClass = '联系人' AND CItem = '自定义项2';"
            // Whose values depend on the level chosen in item 1.
            "UPDATE userdef SET cItemName = '级别细分', iLength = 30"
            " WHERE cClass = '联系人' AND CItem = '自定义项3';"
            "DELETE FROM UserDef_Base WHERE cID = '303';"
            "INSERT INTO UserDef_Base (cID, cParentID) VALUES ('303', '301');"
            "INSERT INTO userdefine (cId, cValue, cAlias, cParentValue) VALUES"
            " ('303', '战略客户', 'A1', '重要'), ('303', '重点客户', 'A2', '重要'),"
            " ('303', '常规联系', 'B1', '一般'), ('303', '偶尔联系', 'C1', '普通');"
            // Several interests at once.
            "UPDATE userdef SET cItemName = '兴趣标签', iLength = 120, bMultiSel = 1"
            " WHERE cClass = '联系人' AND CItem = '自定义项4';"
            "INSERT INTO userdefine (cId, cValue, cAlias) VALUES ('304', '技术', 'tech'),"
            " ('304', '采购', 'buy'), ('304', '市场', 'mkt'), ('304', '财务', 'fin');"
            "UPDATE userdef SET cItemName = '年采购额', iLength = 18, iDecimalDigits = 2"
            " WHERE cClass = '联系人' AND CItem = '自定义项13';"
            // An extended item whose values are the items of class 97.
            "UPDATE userdef SET cItemName = '所属项目', iLength = 60, iDataSource = 1,"
            " cRelArchive = 'fitemss97', cRelField = 'citemname'"
            " WHERE cClass = '联系人' AND CItem = '扩展自定义项2';"
            "DELETE FROM fitemss97;"
            "DELETE FROM fitem WHERE citem_class = '97';"
            "INSERT INTO fitem (citem_class, citem_name) VALUES ('97', '市场项目');"
            "INSERT INTO fitemss97 (citemcode, citemname, citemccode, bclose) VALUES"
            " ('P001', '华东渠道拓展', '01', 0), ('P002', '华南展会', '01', 0),"
            " ('P003', '老客户回访', '02', 0), ('P004', '已结项目', '02', 1);");
    }

    std::string mobileNumber()
    {
        return std::to_string(m_random.pick(internal::kMobilePrefixes)) + digits(m_random, 8);
    }

    Company makeCompany(int index)
    {
        Company company;
        company.code = "C" + padded(index, 7);
        company.english = m_random.percent(20);
        const auto &city = m_random.pick(internal::kCities);
        const auto &industry = m_random.pick(internal::kIndustries);
        if (company.english) {
            const std::string brand = m_random.pick(internal::kEnglishBrands);
            company.name = brand + " " + industry.english + " "
                           + m_random.pick(internal::kEnglishCompanySuffix);
            company.abbreviation = brand + " " + industry.englishShort;
            company.domain = lower(brand) + ".com";
        } else {
            const auto &head = m_random.pick(internal::kBrandHead);
            const auto &tail = m_random.pick(internal::kBrandTail);
            const std::string brand = std::string(head.hanzi) + tail.hanzi;
            company.name = std::string(city.name) + brand + industry.hanzi
                           + m_random.pick(internal::kChineseCompanySuffix);
            company.abbreviation = brand + industry.hanzi;
            company.domain = std::string(head.pinyin) + tail.pinyin
                             + (m_random.percent(50) ? ".com.cn" : ".cn");
        }
        company.address = std::string(city.name) + "市" + city.district
                          + m_random.pick(internal::kStreets)
                          + std::to_string(m_random.between(1, 999)) + "号";
        company.zip = std::string(city.zipPrefix) + digits(m_random, 3);
        company.areaCode = city.areaCode;
        company.phone
            = company.areaCode + "-" + std::to_string(m_random.between(2, 8)) + digits(m_random, 7);
        company.principal = &m_employees[std::size_t(m_random.below(int(m_employees.size())))];
        return company;
    }

    void makeContact(const Company &company, Contact &c)
    {
        c = Contact{};
        c.oid = guidText(m_random);
        c.code = padded(m_nextContactCode++, 8);
        const int sexRoll = m_random.below(100);
        c.sex = sexRoll < 55 ? kSexMale : sexRoll < 98 ? kSexFemale : kSexUnknown;
        const bool male = c.sex == kSexMale || (c.sex == kSexUnknown && m_random.percent(50));
        c.duty = m_random.pick(internal::kDuties);
        const bool english = company.english ? m_random.percent(80) : m_random.percent(5);
        if (english) {
            const std::string first
                = m_random.pick(male ? internal::kEnglishMale : internal::kEnglishFemale);
            const std::string last = m_random.pick(internal::kEnglishLast);
            c.name = first + " " + last;
            c.appellation = (male ? "Mr. " : "Ms. ") + last;
            c.email = lower(first) + "." + lower(last) + "@" + company.domain;
        } else {
            const auto &family = m_random.pick(internal::kFamilyNames);
            const auto &pool = male ? internal::kMaleGiven : internal::kFemaleGiven;
            const auto &given1 = m_random.pick(pool);
            std::string given = given1.hanzi, givenPinyin = given1.pinyin;
            if (m_random.percent(60)) {
                const auto &given2 = m_random.pick(pool);
                given += given2.hanzi;
                givenPinyin += given2.pinyin;
            }
            c.name = std::string(family.hanzi) + given;
            const bool executive = c.duty == "董事长" || c.duty == "总经理" || c.duty == "副总经理";
            c.appellation = std::string(family.hanzi) + (executive ? "总" : male ? "先生" : "女士");
            c.email = m_random.percent(50)
                          ? givenPinyin + "." + family.pinyin + "@" + company.domain
                          : std::string(family.pinyin) + givenPinyin + "@" + company.domain;
            c.native = m_random.pick(internal::kProvinces);
            if (m_random.percent(40))
                c.alias = m_random.pick(male ? internal::kEnglishMale : internal::kEnglishFemale);
            if (m_random.percent(50))
                c.wechat = givenPinyin + family.pinyin + digits(m_random, 3);
        }
        const int marriageRoll = m_random.below(100);
        c.marriage = marriageRoll < 60   ? kMarried
                     : marriageRoll < 90 ? kSingle
                     : marriageRoll < 95 ? kMarriageUnknown
                                         : kDivorced;
        if (m_random.percent(60))
            c.taste = m_random.pick(internal::kTastes);
        c.birthday
            = dateTimeText(daysFromCivil(1960, 1, 1)
                           + m_random.below(daysFromCivil(2001, 1, 1) - daysFromCivil(1960, 1, 1)));
        c.mobile = mobileNumber();
        c.office
            = company.areaCode + "-" + std::to_string(m_random.between(2, 8)) + digits(m_random, 7);
        if (m_random.percent(30))
            c.home = company.areaCode + "-" + std::to_string(m_random.between(2, 8))
                     + digits(m_random, 7);
        if (m_random.percent(40))
            c.qq
                = std::to_string(m_random.between(1, 9)) + digits(m_random, m_random.between(5, 9));
        if (m_random.percent(25))
            c.homeAddress = m_random.pick(internal::kStreets)
                            + std::to_string(m_random.between(1, 300)) + "号"
                            + std::to_string(m_random.between(1, 30)) + "栋";
        if (m_random.percent(5))
            c.memo = m_random.pick(internal::kMemos);
        c.level = m_random.pick(internal::kContactLevels);
        if (m_random.percent(50))
            c.yearsInTrade = m_random.between(1, 30);
        c.major = m_random.percent(10);
        const int createdDay
            = daysFromCivil(2018, 1, 1)
              + m_random.below(daysFromCivil(2026, 1, 1) - daysFromCivil(2018, 1, 1));
        c.created = dateTimeText(createdDay, m_random.between(8 * 3600, 19 * 3600));
        if (m_random.percent(3))
            c.endDate = dateTimeText(createdDay + m_random.between(30, 900));
    }

    // The customer's own address, and for every third customer a warehouse too. Derived from
    // the company alone, so the rest of the demo data stays as it was.
    void insertDeliveryAddresses(int index, const Company &company, const Contact *defaultContact)
    {
        DemoRows &d = *m_deliveryAddress;
        d.text(1, company.code);
        d.text(2, company.address);
        d.text(3, defaultContact ? defaultContact->name : std::string());
        d.integer(4, 1);
        d.run();
        if (index % 3 == 0) {
            d.text(1, company.code);
            d.text(2, company.english ? company.address + " (warehouse)"
                                      : company.address + "（仓库）");
            d.text(3, "");
            d.integer(4, 0);
            d.run();
        }
    }

    void loadCustomer(int index, int size)
    {
        const Company company = makeCompany(index);
        m_contacts.resize(std::size_t(size));
        for (int i = 0; i < size; ++i) {
            Contact &c = m_contacts[std::size_t(i)];
            makeContact(company, c);
            // Superiors point at an earlier contact of the same customer, so no chain loops.
            if (i > 0 && m_random.percent(60))
                c.superior
                    = m_contacts[std::size_t(m_random.percent(50) ? 0 : m_random.below(i))].code;
        }
        const Contact *defaultContact = nullptr;
        if (size > 0 && m_random.percent(92)) {
            Contact &chosen = m_contacts[std::size_t(m_random.below(size))];
            chosen.isDefault = true;
            chosen.endDate.clear(); // a default contact is in use
            defaultContact = &chosen;
        }

        DemoRows &s = *m_customer;
        const std::string email = (m_random.percent(50) ? "info@" : "sales@") + company.domain;
        const int since = daysFromCivil(2012, 1, 1) + m_random.below(4000);
        const std::string devDate = dateTimeText(since);
        s.text(1, company.code);
        s.integer(2, index);
        s.text(3, company.name);
        s.text(4, company.abbreviation);
        s.text(5, "");
        s.text(6, company.address);
        s.text(7, company.zip);
        s.text(8, company.phone);
        s.text(9, email);
        s.text(10, defaultContact ? defaultContact->name : std::string());
        s.text(11, defaultContact ? defaultContact->mobile : std::string());
        s.text(12, company.principal->code);
        s.text(13, company.principal->department);
        s.text(14, defaultContact ? defaultContact->oid : std::string());
        s.text(15, devDate);
        s.text(16, "系统管理员");
        s.text(17, devDate);
        s.run();
        insertDeliveryAddresses(index, company, defaultContact);

        for (Contact &c : m_contacts) {
            c.version = ++m_version;
            insertContact(company, c);
            if (m_random.percent(5))
                insertOpportunity(company, c);
        }
    }

    void insertContact(const Company &company, const Contact &c)
    {
        DemoRows &s = *m_contact;
        s.text(1, c.oid);
        s.text(2, c.code);
        s.text(3, c.name);
        s.text(4, company.code);
        s.text(5, c.appellation);
        s.integer(6, c.sex);
        s.integer(7, c.marriage);
        s.text(8, c.duty);
        s.text(9, c.taste);
        s.text(10, c.birthday);
        s.text(11, c.native);
        s.text(12, c.superior);
        s.text(13, company.principal->code);
        s.text(14, company.principal->department);
        s.text(15, c.mobile);
        s.text(16, c.office);
        s.text(17, c.home);
        s.text(18, c.qq);
        s.text(19, c.email);
        s.text(20, company.address);
        s.text(21, company.zip);
        s.text(22, c.homeAddress);
        s.text(23, c.wechat);
        s.integer(24, c.major ? 1 : 0);
        s.text(25, c.memo);
        s.text(26, c.endDate);
        s.text(27, c.level);
        if (c.yearsInTrade > 0)
            s.integer(28, c.yearsInTrade);
        else
            s.null(28);
        s.integer(29, c.isDefault ? 1 : 0);
        s.text(30, c.created);
        s.text(31, "系统管理员");
        s.integer(32, c.version);
        s.run();

        m_extension->text(1, c.oid);
        m_extension->text(2, c.code);
        m_extension->text(3, c.alias);
        m_extension->run();
    }

    void insertOpportunity(const Company &company, const Contact &c)
    {
        DemoRows &s = *m_opportunity;
        const std::string code = "SJ" + padded(m_nextOpportunity++, 8);
        const std::string name = company.abbreviation + m_random.pick(internal::kOpportunityTopics);
        s.text(1, code);
        s.text(2, name);
        s.text(3, company.code);
        s.text(4, c.code);
        s.text(5, dateTimeText(daysFromCivil(2026, 1, 1) + m_random.below(365)));
        s.real(6, double(m_random.between(10, 2000)) * 1000.0);
        s.integer(7, m_random.between(1, 5));
        s.text(8, company.principal->code);
        s.text(9, c.created);
        s.run();
    }

    DemoRowSink &m_sink;
    DemoRandom m_random;
    std::vector<Employee> m_employees;
    std::vector<Contact> m_contacts; // the current customer's, reused
    long long m_nextContactCode = 1;
    long long m_nextOpportunity = 1;
    long long m_version = 0;
    DemoRows *m_customer = nullptr;
    DemoRows *m_contact = nullptr;
    DemoRows *m_extension = nullptr;
    DemoRows *m_opportunity = nullptr;
    DemoRows *m_deliveryAddress = nullptr;
};

} // namespace

DemoDataSummary loadDemoRows(DemoRowSink &sink, std::uint64_t seed, int contactCount,
                             long long firstVersion, long long &lastVersion)
{
    DemoLoader loader(sink, seed);
    loader.setFirstVersion(firstVersion);
    const DemoDataSummary summary = loader.load(contactCount);
    lastVersion = loader.lastVersion();
    return summary;
}

} // namespace perikon::suite::internal
