<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_CN" sourcelanguage="en">
<context>
    <name>talor</name>
    <message>
        <source>Cannot read &quot;%1&quot;: %2</source>
        <translation>无法读取“%1”：%2</translation>
    </message>
    <message>
        <source>Cannot read the settings file %1: %2</source>
        <translation>无法读取设置文件 %1：%2</translation>
    </message>
    <message>
        <source>Cannot read the settings file %1: it is UTF-16 encoded; settings files are UTF-8 (convert it, for example with iconv)</source>
        <translation>无法读取设置文件 %1：它是 UTF-16 编码，设置文件应为 UTF-8（可用 iconv 等工具转换）</translation>
    </message>
    <message>
        <source>Cannot use %1 as the settings file: it is not a text file (it holds binary data)</source>
        <translation>不能把 %1 用作设置文件：它不是文本文件（含有二进制数据）</translation>
    </message>
    <message>
        <source>Cannot write &quot;%1&quot;: %2</source>
        <translation>无法写入“%1”：%2</translation>
    </message>
    <message>
        <source>Cannot write &quot;%1&quot;: no new page</source>
        <translation>无法写入“%1”：无法开始新的一页</translation>
    </message>
    <message>
        <source>Cannot write &quot;%1&quot;: painting could not begin</source>
        <translation>无法写入“%1”：无法开始绘制</translation>
    </message>
    <message>
        <source>Cannot write &quot;%1&quot;: the output failed</source>
        <translation>无法写入“%1”：输出失败</translation>
    </message>
    <message>
        <source>Cannot write &quot;%1&quot;: there are no pages</source>
        <translation>无法写入“%1”：没有任何一页</translation>
    </message>
    <message>
        <source>Cannot write %1: %2: %3</source>
        <translation>无法写入 %1：%2：%3</translation>
    </message>
    <message>
        <source>Cannot write %1: a key may not hold &quot;=&quot; or a line break, nor start with &quot;[&quot;, &quot;;&quot; or &quot;#&quot;</source>
        <translation>无法写入%1：键不能含有“=”或换行，也不能以“[”、“;”或“#”开头</translation>
    </message>
    <message>
        <source>Cannot write %1: a section name may not hold &quot;]&quot; or a line break</source>
        <translation>无法写入%1：节名不能含有“]”或换行</translation>
    </message>
    <message>
        <source>Cannot write %1: the value holds a line break, and settings values are single lines</source>
        <translation>无法写入%1：值含有换行，设置值只能是一行</translation>
    </message>
    <message>
        <source>Cannot write the settings file %1: cannot create its lock file %1.lock</source>
        <translation>无法写入设置文件 %1：无法创建其锁文件 %1.lock</translation>
    </message>
    <message>
        <source>Cannot write the settings file %1: it stays locked by another process (lock file %1.lock, waited %2 ms)</source>
        <translation>无法写入设置文件 %1：它一直被其他进程锁定（锁文件 %1.lock，已等待 %2 毫秒）</translation>
    </message>
    <message>
        <source>Cannot write the settings file %1: its folder does not exist</source>
        <translation>无法写入设置文件 %1：所在文件夹不存在</translation>
    </message>
    <message>
        <source>Update needs a statement that reads exactly one table; cannot update the rows of: %1</source>
        <translation>更新要求语句只读取一个数据表，无法更新以下语句的记录：%1</translation>
    </message>
    <message>
        <source>a query cannot run read-only inside a transaction; nothing was read
SQL: %1</source>
        <translation>事务中的查询无法以只读方式执行，未读取任何内容
SQL: %1</translation>
    </message>
    <message>
        <source>cannot create a temporary file in %1</source>
        <translation>无法在 %1 中创建临时文件</translation>
    </message>
    <message>
        <source>cannot open %1: %2</source>
        <translation>无法打开%1：%2</translation>
    </message>
    <message>
        <source>cannot open %1: the Qt SQL driver %2 is not installed</source>
        <translation>无法打开%1：未安装 Qt SQL 驱动 %2</translation>
    </message>
    <message>
        <source>cannot open %1: the directory %2 does not exist</source>
        <translation>无法打开%1：目录 %2 不存在</translation>
    </message>
    <message>
        <source>cannot open %1: the file does not exist</source>
        <translation>无法打开%1：文件不存在</translation>
    </message>
    <message>
        <source>cannot open %1: the server keeps standard_conforming_strings off, under which quoted names are not safe</source>
        <translation>无法打开%1：服务器关闭了 standard_conforming_strings，此时带引号的名称不安全</translation>
    </message>
    <message>
        <source>closing: %1</source>
        <translation>关闭：%1</translation>
    </message>
    <message>
        <source>finish %1</source>
        <translation>完成 %1</translation>
    </message>
    <message>
        <source>it holds more than %1 sheets, the most a template may hold</source>
        <translation>其中的工作表超过 %1 个，超出模板的上限</translation>
    </message>
    <message>
        <source>it holds no sheet</source>
        <translation>其中没有工作表</translation>
    </message>
    <message>
        <source>it is not a TALOR template (.vts) file</source>
        <translation>它不是 TALOR 模板（.vts）文件</translation>
    </message>
    <message>
        <source>key &quot;%1&quot; of section [%2] in the settings file %3</source>
        <translation>设置文件 %3 中节 [%2] 的键“%1”</translation>
    </message>
    <message>
        <source>opening: %1</source>
        <translation>打开：%1</translation>
    </message>
    <message>
        <source>page set-up in %1: %2</source>
        <translation>%1 的页面设置：%2</translation>
    </message>
    <message>
        <source>preview</source>
        <translation>预览</translation>
    </message>
    <message>
        <source>preview pages</source>
        <translation>预览页面</translation>
    </message>
    <message>
        <source>print on %1</source>
        <translation>打印到 %1</translation>
    </message>
    <message>
        <source>stop: %1 cannot drop a job under way; it is printed whole</source>
        <translation>停止：%1 不能撤销进行中的作业，作业已整个打印</translation>
    </message>
    <message>
        <source>reading back the saved row of %1 failed</source>
        <translation>读回 %1 中刚保存的行失败</translation>
    </message>
    <message>
        <source>reading the catalogue entry of %1 failed</source>
        <translation>读取 %1 的表目录项失败</translation>
    </message>
    <message>
        <source>reading the rows failed</source>
        <translation>读取记录失败</translation>
    </message>
    <message>
        <source>reopening the written file</source>
        <translation>重新打开写好的文件</translation>
    </message>
    <message>
        <source>replacing the file</source>
        <translation>替换文件</translation>
    </message>
    <message>
        <source>the PostgreSQL database </source>
        <translation>PostgreSQL 数据库 </translation>
    </message>
    <message>
        <source>the PostgreSQL database %1</source>
        <translation>PostgreSQL 数据库 %1</translation>
    </message>
    <message>
        <source>the SQLite database </source>
        <translation>SQLite 数据库 </translation>
    </message>
    <message>
        <source>the SQLite database %1</source>
        <translation>SQLite 数据库 %1</translation>
    </message>
    <message>
        <source>the connection &quot;%1&quot; is not open
SQL: %2</source>
        <translation>连接“%1”未打开
SQL: %2</translation>
    </message>
    <message>
        <source>the connection could not be made read-only</source>
        <translation>无法把连接设为只读</translation>
    </message>
    <message>
        <source>the connection to %1 was lost and cannot be made again: %2</source>
        <translation>与%1的连接已断开，无法重新连接：%2</translation>
    </message>
    <message>
        <source>the connection to the server was lost</source>
        <translation>与服务器的连接已断开</translation>
    </message>
    <message>
        <source>the connection to the server was lost (%1)</source>
        <translation>与服务器的连接已断开（%1）</translation>
    </message>
    <message>
        <source>the disk is full (%1)</source>
        <translation>磁盘已满（%1）</translation>
    </message>
    <message>
        <source>the file does not exist</source>
        <translation>文件不存在</translation>
    </message>
    <message>
        <source>the file is damaged (PRAGMA quick_check): %1</source>
        <translation>文件已损坏（PRAGMA quick_check）：%1</translation>
    </message>
    <message>
        <source>the file is damaged or truncated (%1 at byte %2)</source>
        <translation>文件已损坏或不完整（第 %2 字节处：%1）</translation>
    </message>
    <message>
        <source>the file is damaged: </source>
        <translation>文件已损坏：</translation>
    </message>
    <message>
        <source>there is not memory enough to read it</source>
        <translation>内存不足，无法读取</translation>
    </message>
    <message>
        <source>the file is larger than %1 bytes, the most a template may have</source>
        <translation>文件超过 %1 字节，超出模板的上限</translation>
    </message>
    <message>
        <source>it would take %1 bytes, and a template of more than %2 bytes cannot be opened again; nothing was written (keep a report that large as .xlsx)</source>
        <translation>文件将有 %1 字节，超过 %2 字节的模板无法再打开；没有写入任何内容（这样大的报表请存为 .xlsx）</translation>
    </message>
    <message>
        <source>the part %1 was cut short while it was written: the disk is full (or the temporary folder&#x27;s)</source>
        <translation>写入部件 %1 时被截断：磁盘已满（或临时文件夹所在的磁盘已满）</translation>
    </message>
    <message>
        <source>the read-only transaction could not begin</source>
        <translation>只读事务无法开始</translation>
    </message>
    <message>
        <source>the result of %1 is too large to hold in memory</source>
        <translation>%1 的结果太大，内存容纳不下</translation>
    </message>
    <message>
        <source>the row of %1 with %2 was changed by someone else; nothing was saved</source>
        <translation>%1 中 %2 的行已被他人修改，未保存任何内容</translation>
    </message>
    <message>
        <source>the row of %1 with %2 was deleted by someone else; nothing was saved</source>
        <translation>%1 中 %2 的行已被他人删除，未保存任何内容</translation>
    </message>
    <message>
        <source>the statement does not read the key column %1 of %2, so Update cannot find the row: %3</source>
        <translation>语句没有读取 %2 的主键列 %1，更新找不到该行：%3</translation>
    </message>
    <message>
        <source>the statement failed</source>
        <translation>语句执行失败</translation>
    </message>
    <message>
        <source>the table %1 has no primary key, so Update cannot find the row; nothing was saved</source>
        <translation>数据表 %1 没有主键，更新找不到该行，未保存任何内容</translation>
    </message>
    <message>
        <source>the template has no valid format version</source>
        <translation>模板没有有效的格式版本</translation>
    </message>
    <message>
        <source>the template was written in format version %1 by a newer program; this program reads up to version %2</source>
        <translation>模板由较新的程序以格式版本 %1 写成，本程序最多读取版本 %2</translation>
    </message>
    <message>
        <source>the update of %1 could not be committed</source>
        <translation>更新 %1 未能提交</translation>
    </message>
    <message>
        <source>the update of %1 failed</source>
        <translation>更新 %1 失败</translation>
    </message>
    <message>
        <source>the workbook could not be created</source>
        <translation>无法创建工作簿</translation>
    </message>
    <message>
        <source>write %1</source>
        <translation>写入 %1</translation>
    </message>
    <message>
        <source>writing: %1</source>
        <translation>写入：%1</translation>
    </message>
    <message>
        <source>Cannot write %1: it is read-only (mode %2)</source>
        <translation>无法写入 %1：文件只读（权限 %2）</translation>
    </message>
    <message>
        <source>The condition &quot;%1&quot; closes a bracket it did not open: a condition can only narrow the report&apos;s rows</source>
        <translation>条件“%1”关闭了它没有打开的括号：条件只能限定报表的记录</translation>
    </message>
    <message>
        <source>The condition &quot;%1&quot; leaves a quoted text or name open: a condition can only narrow the report&apos;s rows</source>
        <translation>条件“%1”的引号没有闭合：条件只能限定报表的记录</translation>
    </message>
    <message>
        <source>Cannot write %1: it holds a NUL character, which would make the settings file unreadable as text</source>
        <translation>无法写入%1：含有空字符，设置文件将无法作为文本读取</translation>
    </message>
</context>
</TS>
