SELECT Distinct v1.FNumber FROM t_CustEntry u1 INNER JOIN t_Organization v1 on u1.FCustID=v1.FItemID
INNER JOIN t_Item t9 ON LEFT(v1.FNumber,LEN(v1.FNumber)-CHARINDEX('.',REVERSE(RTRIM(v1.FNumber)))) = t9.FNumber
INNER JOIN t_ItemRight t7 ON t9.FItemID=t7.FItemID
 WHERE 1=1
AND t7.FTypeID=1
AND (t7.FuserID=16395 OR t7.FUserID IN (Select FGroupID From t_Group Where FGroupID <> 0 And FUserID=16395 ))
